// The main window: the one editing surface of the program. It holds every control of the pager's
// fields on four pages, the File, Pager, Advance and About menus, and the status bar with the
// progress bar. The image it shows is the program's only model; the controls are views of it.
#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "comm_port.h"
#include "control_scaling.h"
#include "editor_window.h"
#include "field_focus.h"
#include "message.h"
#include "page_match.h"
#include "pager_image.h"
#include "port_list.h"
#include "squelch_levels.h"

class QLabel;
class QLineEdit;
class QComboBox;
class QCheckBox;
class QRadioButton;
class QAction;
class QProgressBar;
class QTabWidget;

class AboutDialog;
class ToneTableDialog;
class BoardCheckNotice;
class AccessCodeDialog;
class ResetHelpDialog;

namespace Ui {
class MainWindow;
}

namespace zr::gui {
class FieldEditors;
class WindowDeviceView;
class TestPageDialog;
}

class MainWindow : public QMainWindow, public zr::gui::EditorWindow {
    Q_OBJECT

public:
    // FormCreate: the port is the program's one serial port, made before any window.
    explicit MainWindow(zr::CommPort& port, QWidget* parent = nullptr);
    ~MainWindow() override;

    zr::PagerImage& Image() override { return image_; }
    const zr::PagerImage& Image() const { return image_; }
    zr::SquelchLevelTable& SquelchLevels() override { return squelchLevels_; }
    const std::filesystem::path& StartDirectory() const { return startDirectory_; }
    const zr::PortNameTable& PortNames() const { return portNames_; }
    const std::string& SaveTarget() const { return saveTarget_; }

    // The families of like controls, indexed by their Tag (call number, option bit + 1, level).
    QWidget* FamilyMember(const QString& family, int index) const override {
        return families_.value(family).value(index);
    }
    QWidget* EditorControls() override;
    zr::gui::FieldFocus& Focus() override { return focus_; }
    // The handlers of every field, check box and list, with the editors' state.
    zr::gui::FieldEditors& Editors() { return *editors_; }

    // A message box through the program's seam; the window is active again afterwards, so its
    // shortcuts keep working.
    zr::MessageAnswer ShowMessageBox(const zr::Message& message) override;
    // Every modal window of the program ends with this: without a window manager the main window
    // does not become active again on its own.
    void ReactivateAfterModal();

    // True once the first showing has run its start-up steps (ports, board check, default table).
    bool IsStartupDone() const { return startupDone_; }
    // True while a transfer or the start-up board check has the port.
    bool IsBusy() const { return busy_; }

    // Every load of an image ends here: the editor shows the image, then the call tones once more.
    void FinishImageLoad();

    // What the field editors provide (filled in with the field editors).
    void LoadImageIntoEditor();
    void ShowTone1Fields();
    void ShowTone2Fields();

    // The three status panels and the progress bar, for the device view.
    QLabel* StatusTextPanel() const { return statusText_; }
    QLabel* FileNamePanel() const { return fileNamePanel_; }
    QProgressBar* ProgressBar() const;

    // The whole window is taken from the user while a transfer runs (the status bar keeps showing
    // progress, and message boxes of the transfer stay usable); the focused field gets the focus
    // back afterwards without that counting as an exit.
    void SetInputEnabled(bool enabled);

signals:
    void startupFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void SetInitialEditingState();
    void FillPortList();
    void StartupBoardCheck();
    void LoadDefaultTable();
    void BuildControlFamilies();
    void CreateStatusPanels();
    void ConnectMenus();
    void ConnectFieldEditors();
    void ApplyHintDisplayTime();

    void FormMouseMove();
    void FormShortCut();
    void StatusBar1DrawPanel();
    void ClosePort();

    void ExitE1Click();
    void OpenO1Click();
    void SaveS1Click();
    void SaveAs1Click();
    void ProgramFleetClick();
    void TestPageClick();
    void DecodeRecordingClick();
    void Print1Click();
    void ExportCard1Click();
    void Read1Click();
    void Write1Click();
    void Verify1Click();
    void Advance2Click();
    void About2Click();
    void RBtModifyClick();
    void RBtWriteClick();
    void lblHelpClick();
    void lblHelpMouseEnter();
    void lblHelpMouseLeave();

    void ShowAdvancePage(bool visible);
    void ForgetCurrentToneField();
    void OpenToneTableFromKey();
    template <class Operation>
    void RunDeviceOperation(Operation operation);
    std::size_t SelectedPortIndex() const;
    // The port is free again; a close asked for meanwhile is carried out now.
    void EndBusy();

    std::unique_ptr<Ui::MainWindow> ui;
    zr::CommPort& port_;
    zr::PagerImage image_;
    zr::SquelchLevelTable squelchLevels_;
    zr::PortNameTable portNames_;
    std::filesystem::path startDirectory_;
    std::string saveTarget_;
    std::filesystem::path cardFile_;  // the table file the image came from, for its card; none after a Read
    QMap<QString, QMap<int, QWidget*>> families_;
    zr::gui::ControlScaler scaler_;
    zr::gui::FieldFocus focus_;
    std::unique_ptr<zr::gui::WindowDeviceView> deviceView_;
    zr::gui::FieldEditors* editors_ = nullptr;  // a child of the window

    QWidget* progressPanel_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* fileNamePanel_ = nullptr;
    QPointer<QWidget> focusBeforeTransfer_;

    AboutDialog* aboutDialog_ = nullptr;
    ToneTableDialog* toneTable_ = nullptr;
    ResetHelpDialog* resetHelp_ = nullptr;
    BoardCheckNotice* boardCheckNotice_ = nullptr;
    QAction* programFleet_ = nullptr;  // File > Program a Fleet..., made with its dialog
    zr::gui::TestPageDialog* testPage_ = nullptr;
    std::vector<zr::NamedImage> fleetUnits_;  // the units last loaded in the fleet dialog
    AccessCodeDialog* accessCode_ = nullptr;

    bool shown_ = false;
    bool startupDone_ = false;
    bool busy_ = false;
    bool closeWhenIdle_ = false;
    bool checkingAtStartup_ = false;
};
