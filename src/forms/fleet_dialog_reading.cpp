// The fleet dialog's Verify All and Read All: the fleet's pagers read one after another with the
// rounds of `roster verify` and `roster read`, each pager's line in the log pane and its outcome in
// its unit's row.
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "fleet_dialog.h"
#include "message_boxes.h"
#include "table_file_dialogs.h"

namespace zr::gui {

namespace {

// Verify All logs beside the Write's log, in a file of its own: LOG-verify.csv.
std::filesystem::path VerifyLogPath(const QLineEdit& writeLog) {
    if (writeLog.text().isEmpty()) return {};
    const std::filesystem::path log = PathFromQString(writeLog.text());
    return log.parent_path() / (log.stem().string() + "-verify" + log.extension().string());
}

// One line for each differing field, for the outcome's tooltip.
QString FieldLines(const std::vector<FieldMismatch>& fields) {
    QStringList lines;
    for (const auto& field : fields)
        lines << ToQString(field.key + ": planned " + field.planned + ", pager " + field.pager);
    return lines.join('\n');
}

// The folder Read All keeps the pagers in; nothing when the technician cancels.
std::optional<std::filesystem::path> ChooseReadFolder(QWidget* parent, const std::filesystem::path& start) {
    QFileDialog chooser(parent, QStringLiteral("Read All into the folder"), QStringFromPath(start));
    chooser.setObjectName(QStringLiteral("dlgReadAllFolder"));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
    return PathFromQString(chooser.selectedFiles().front());
}

}  // namespace

void FleetDialog::VerifyClick() {
    if (writing_ || !LoadFleet()) return;
    if (fleet_->HasRefusedCells()) {
        ShowMessage(this, WarningMessage("Some units' values are refused (marked in the table); no pager is verified."));
        return;
    }
    const std::filesystem::path log = VerifyLogPath(*edtLog_);
    if (!log.empty()) memLog_->appendPlainText(QStringLiteral("Verify log: ") + QStringFromPath(log));
    pbFleet_->setFormat(QStringLiteral("%v of %m units seen"));
    BeginRun(ReadingText(1));
    const FleetVerifySummary summary =
        VerifyFleet(fleet_->units, {portName_, chkWait_->isChecked()}, log, port_, *this);
    EndRun();
    lblStep_->setText(ToQString(summary.setupError ? *summary.setupError : SummaryText(summary)));
}

void FleetDialog::ReadClick() {
    if (writing_) return;
    FleetReadOptions options;
    options.round = {portName_, chkWait_->isChecked()};
    // With a roster as well as a base, the pagers that are its units exactly take their names.
    if (!edtBase_->text().isEmpty() && !edtRoster_->text().isEmpty()) {
        if (!LoadFleet()) return;
        if (fleet_->HasRefusedCells()) {
            ShowMessage(this, WarningMessage("Some units' values are refused (marked in the table); no pager is read."));
            return;
        }
        options.plan = fleet_->units;
    } else {
        lblStep_->clear();
        lblStatus_->clear();
        ClearFleet();
    }
    // With a base the roster of the pagers read holds only what differs from it.
    if (!edtBase_->text().isEmpty()) {
        auto opened = OpenBaseTable(PathFromQString(edtBase_->text()));
        if (const auto* error = std::get_if<Message>(&opened)) {
            ShowMessage(this, *error);
            return;
        }
        options.base = std::get<OpenedBase>(opened).session;
    }
    const auto folder = ChooseReadFolder(this, edtOut_->text().isEmpty() ? startDirectory_ : PathFromQString(edtOut_->text()));
    if (!folder) return;
    options.out = *folder;
    options.roster = UnusedFilePath(*folder, "roster", ".csv");
    memLog_->appendPlainText(QStringLiteral("Read All into ") + QStringFromPath(*folder));
    if (options.plan.empty()) {
        pbFleet_->setFormat(QStringLiteral("%v pagers read"));
        pbFleet_->setRange(0, 0);
    } else {
        pbFleet_->setFormat(QStringLiteral("%v of %m units read"));
    }
    pbFleet_->setTextVisible(true);
    BeginRun(ReadingText(1));
    const FleetReadSummary summary = ReadFleet(options, port_, *this);
    EndRun();
    if (summary.setupError) {
        lblStep_->setText(ToQString(*summary.setupError));
        return;
    }
    QString text = ToQString(SummaryText(summary, options.out));
    if (std::filesystem::exists(options.roster)) text += QStringLiteral("; their roster: ") + QStringFromPath(options.roster);
    lblStep_->setText(text);
}

bool FleetDialog::AskToSeat(std::size_t number) {
    return AskStep(QString("Seat pager %1 behind the board, then click Go On.").arg(number), QStringLiteral("Go On"),
                   false) == UnitStep::Go;
}

void FleetDialog::ShowWaiting(std::size_t number, std::string_view why) {
    lblStep_->setText(QString("Waiting for pager %1: %2").arg(number).arg(ToQString(why)));
}

void FleetDialog::ShowPagerDone(const PagerOutcome& outcome) {
    // The step line names the pager to come from here on, asked for or waited for.
    SetNextStep(ReadingText(outcome.number + 1));
    if (chkWait_->isChecked()) lblStep_->setText(QString("Waiting for pager %1 ...").arg(outcome.number + 1));
    memLog_->appendPlainText(ToQString(outcome.line));
    if (outcome.unit) {
        const bool differs = !outcome.fields.empty();
        const QString text = differs ? QStringLiteral("differs: ") + ToQString(outcome.fields.front().key) +
                                           (outcome.fields.size() > 1 ? QStringLiteral(" ...") : QString())
                                     : ToQString(outcome.outcome);
        ShowOutcome(static_cast<int>(*outcome.unit), text, differs ? FieldLines(outcome.fields) : ToQString(outcome.line),
                    differs);
    }
    if (grdUnits_->rowCount() > 0) {
        pbFleet_->setValue(UnitsWithOutcome());
    } else {
        pbFleet_->setRange(0, static_cast<int>(outcome.number));
        pbFleet_->setValue(static_cast<int>(outcome.number));
    }
}

}  // namespace zr::gui
