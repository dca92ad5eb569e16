// File > Program a Fleet...: one base table file and a roster, every unit's image built and the
// fleet's tone plan checked, then the units written one after another into their pagers with the
// Write of the Pager menu, each step shown, and the log growing as it is written; or the fleet's
// pagers read one after another, each verified against the roster or kept as a table file. It runs
// exactly the core code of `zr250pro-cli roster`.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <string>

#include "comm_port.h"
#include "fleet_check.h"
#include "fleet_reader.h"
#include "fleet_writer.h"

class QCheckBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zr::gui {

class FleetSheetPanel;

class FleetDialog final : public QDialog, private FleetFrontEnd, private FleetReadFrontEnd {
    Q_OBJECT

public:
    // `portName` is the port selected in the main window; `port` the program's one serial port.
    FleetDialog(CommPort& port, std::string portName, const std::filesystem::path& startDirectory,
                QWidget* parent = nullptr);
    ~FleetDialog() override;

    // True while units are being written or pagers read.
    bool IsWriting() const { return writing_; }
    // The fleet last loaded and checked, for the pages a recording holds.
    const std::optional<CheckedFleet>& LoadedFleet() const { return fleet_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    class StepView;

    void BuildControls(const std::filesystem::path& startDirectory);
    void CheckClick();
    void WriteClick();
    void VerifyClick();
    void ReadClick();
    // Starts and ends a run (Write All, Verify All, Read All): the files and buttons greyed meanwhile;
    // `firstStep` is what the step line says once the first pager is talked to.
    void BeginRun(const QString& firstStep);
    void EndRun();
    // What the step line says while the unit of the row is written: "Writing unit P-01 (1 of 2) ...".
    QString WritingText(int row) const;
    // "Reading pager 2 ..."
    static QString ReadingText(std::size_t number);
    // The unit's row of the table; -1 when it has none.
    int UnitRow(const std::string& name) const;
    void ShowOutcome(int row, const QString& outcome, const QString& detail, bool problem);
    int UnitsWithOutcome() const;
    // What the step line says once the next Write or Read talks to the pager.
    void SetNextStep(const QString& text);
    // Loads and checks the files named in the dialog and shows the units; false when nothing could
    // be built.
    bool LoadFleet();
    void ShowUnits();
    // No roster shown: the table, problems, chart and fleet bar empty.
    void ClearFleet();
    void SetEditing(bool enabled);
    UnitStep AskStep(const QString& text, const QString& goOnCaption, bool skippable = true);
    void Answer(UnitStep step);

    DeviceOperationView& DeviceView() override;
    UnitStep AskToConnect(const UnitImage& unit, std::size_t number, std::size_t count) override;
    UnitStep AskToWriteOver(const UnitImage& unit, const LoggedWrite& held) override;
    void ShowWaiting(const UnitImage& unit, std::string_view why) override;
    UnitStep AskAfterFailure(const UnitImage& unit, const std::string& message) override;
    void ShowUnitDone(const UnitImage& unit, UnitOutcome outcome, const std::vector<std::string>& logLine) override;
    void ShowProblem(const std::string& text) override;
    bool StopRequested() override { return stopRequested_; }

    bool AskToSeat(std::size_t number) override;
    void ShowWaiting(std::size_t number, std::string_view why) override;
    void ShowPagerDone(const PagerOutcome& outcome) override;

    CommPort& port_;
    std::string portName_;
    std::filesystem::path startDirectory_;
    std::optional<CheckedFleet> fleet_;
    bool writing_ = false;
    bool stopRequested_ = false;
    std::optional<UnitStep> answer_;
    QEventLoop* waitingForAnswer_ = nullptr;
    std::unique_ptr<StepView> stepView_;

    QLineEdit* edtBase_ = nullptr;
    QLineEdit* edtRoster_ = nullptr;
    QLineEdit* edtLog_ = nullptr;
    QLineEdit* edtOut_ = nullptr;
    QCheckBox* chkChangedOnly_ = nullptr;
    QCheckBox* chkWait_ = nullptr;
    QCheckBox* chkUserMode_ = nullptr;
    QList<QPushButton*> browseButtons_;
    QPushButton* btnCheck_ = nullptr;
    QTableWidget* grdUnits_ = nullptr;
    QPlainTextEdit* memProblems_ = nullptr;
    QLabel* lblStep_ = nullptr;
    QPushButton* btnGoOn_ = nullptr;
    QPushButton* btnSkip_ = nullptr;
    QPushButton* btnStop_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QProgressBar* pbPager_ = nullptr;
    QProgressBar* pbFleet_ = nullptr;
    QPlainTextEdit* memLog_ = nullptr;
    QPushButton* btnVerify_ = nullptr;
    QPushButton* btnRead_ = nullptr;
    QPushButton* btnWrite_ = nullptr;
    QPushButton* btnClose_ = nullptr;
    FleetSheetPanel* sheetPanel_ = nullptr;
};

}  // namespace zr::gui
