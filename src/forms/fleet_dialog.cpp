#include "fleet_dialog.h"
#include "fleet_sheet_panel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "message_boxes.h"
#include "table_file_dialogs.h"
#include "roster.h"
#include "tone_entry.h"

namespace zr::gui {

namespace {

std::filesystem::path PathOf(const QLineEdit* edit) { return PathFromQString(edit->text()); }

enum Column {
    kUnitColumn,
    kFirstCallColumn,
    kFirstGroupColumn = kFirstCallColumn + kCalls,
    kCheckColumn = kFirstGroupColumn + kGroupCalls,
    kOutcomeColumn,
    kColumnCount
};

const QColor kProblemColour(255, 214, 214);
// A tone plan problem in a unit's row is cut to this many characters; the box below holds it whole.
constexpr qsizetype kProblemCellChars = 160;

}  // namespace

// What each Write shows, inside the dialog: its status text, the pager's progress bar, and its
// message, which goes to the step line instead of a box to click away for every pager.
class FleetDialog::StepView final : public DeviceOperationView {
public:
    StepView(QLabel& status, QProgressBar& progress) : status_(status), progress_(progress) {}

    void SetStatusText(std::string_view text) override { status_.setText(ToQString(text).trimmed()); }
    void ClearFileNamePanel() override {}
    void SetProgressRange(int maximum) override { progress_.setRange(0, maximum); }
    void SetProgressPosition(int position) override { progress_.setValue(position); }
    int ProgressPosition() const override { return progress_.value(); }
    MessageAnswer ShowMessage(const Message& message) override {
        status_.setText(ToQString(message.text));
        return MessageAnswer::Ok;
    }
    void SetWindowEnabled(bool) override {}
    void SetDeviceMenuEnabled(bool, bool, bool) override {}
    bool IsModifyMode() const override { return false; }
    void ShowFirmwareVersion(std::string_view) override {}
    void ImageReplaced() override {}
    // Why the port could not be opened follows the message on the step line.
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override {
        QString text = status_.text();
        for (const auto& failure : failures) text += QStringLiteral("\n") + ToQString(failure.Text());
        status_.setText(text);
    }
    void ProcessEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }

private:
    QLabel& status_;
    QProgressBar& progress_;
};

FleetDialog::FleetDialog(CommPort& port, std::string portName, const std::filesystem::path& startDirectory,
                         QWidget* parent)
    : QDialog(parent), port_(port), portName_(std::move(portName)) {
    setObjectName(QStringLiteral("FleetDialog"));
    setWindowTitle(QStringLiteral("Program a Fleet"));
    BuildControls(startDirectory);
    stepView_ = std::make_unique<StepView>(*lblStatus_, *pbPager_);
    resize(900, 640);
}

FleetDialog::~FleetDialog() = default;

void FleetDialog::BuildControls(const std::filesystem::path& startDirectory) {
    auto* layout = new QVBoxLayout(this);
    auto* files = new QFormLayout;
    const QString folder = QStringFromPath(startDirectory);
    auto fileRow = [this, files, folder](const char* name, const char* label, const char* filter, bool save) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
        connect(browse, &QPushButton::clicked, this, [this, edit, folder, filter, save] {
            const QString start = edit->text().isEmpty() ? folder : edit->text();
            const QString chosen =
                save ? QFileDialog::getSaveFileName(this, QString(), start, QLatin1String(filter), nullptr,
                                                    QFileDialog::DontConfirmOverwrite)
                : filter ? QFileDialog::getOpenFileName(this, QString(), start, QLatin1String(filter))
                         : QFileDialog::getExistingDirectory(this, QString(), start);
            if (!chosen.isEmpty()) edit->setText(chosen);
        });
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(browse);
        files->addRow(QLatin1String(label), row);
        return edit;
    };
    edtBase_ = fileRow("edtBase", "Base table file:", "Table files (*.tbl)", false);
    edtRoster_ = fileRow("edtRoster", "Roster:", "Rosters (*.csv)", false);
    edtLog_ = fileRow("edtLog", "Log:", "Logs (*.csv)", true);
    edtOut_ = fileRow("edtOut", "Keep sent images in:", nullptr, false);
    edtOut_->setPlaceholderText(QStringLiteral("(optional) a folder; each unit's image as UNIT.tbl"));
    auto* portLabel = new QLabel(portName_.empty() ? QStringLiteral("no port chosen") : ToQString(portName_), this);
    portLabel->setObjectName(QStringLiteral("lblFleetPort"));
    files->addRow(QStringLiteral("Port:"), portLabel);
    layout->addLayout(files);

    auto* options = new QHBoxLayout;
    chkUserMode_ = new QCheckBox(QStringLiteral("Take tones in User Mode"), this);
    chkUserMode_->setObjectName(QStringLiteral("chkUserMode"));
    chkWait_ = new QCheckBox(QStringLiteral("Wait for each new pager instead of asking"), this);
    chkWait_->setObjectName(QStringLiteral("chkWait"));
    chkChangedOnly_ = new QCheckBox(QStringLiteral("Send changed pieces only"), this);
    chkChangedOnly_->setObjectName(QStringLiteral("chkChangedOnly"));
    chkChangedOnly_->setToolTip(QStringLiteral(
        "Read each pager first and send only the 8-byte pieces it does not hold yet; the same read-back"));
    btnCheck_ = new QPushButton(QStringLiteral("Check"), this);
    btnCheck_->setObjectName(QStringLiteral("btnCheck"));
    options->addWidget(chkUserMode_);
    options->addWidget(chkWait_);
    options->addWidget(chkChangedOnly_);
    options->addStretch(1);
    options->addWidget(btnCheck_);
    layout->addLayout(options);

    grdUnits_ = new QTableWidget(0, kColumnCount, this);
    grdUnits_->setObjectName(QStringLiteral("grdUnits"));
    grdUnits_->setHorizontalHeaderLabels({"Unit", "Call 1", "Call 2", "Call 3", "Call 4", "Group 1", "Group 2",
                                          "Check", "Outcome"});
    grdUnits_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdUnits_->horizontalHeader()->setSectionResizeMode(kCheckColumn, QHeaderView::Stretch);
    layout->addWidget(grdUnits_, 3);
    memProblems_ = new QPlainTextEdit(this);
    memProblems_->setObjectName(QStringLiteral("memProblems"));
    memProblems_->setReadOnly(true);
    layout->addWidget(memProblems_, 1);
    sheetPanel_ = new FleetSheetPanel(this);
    layout->addWidget(sheetPanel_, 2);

    lblStep_ = new QLabel(this);
    lblStep_->setObjectName(QStringLiteral("lblStep"));
    QFont bold = lblStep_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lblStep_->setFont(bold);
    lblStep_->setWordWrap(true);
    layout->addWidget(lblStep_);
    auto* stepRow = new QHBoxLayout;
    btnGoOn_ = new QPushButton(QStringLiteral("Go On"), this);
    btnGoOn_->setObjectName(QStringLiteral("btnGoOn"));
    btnSkip_ = new QPushButton(QStringLiteral("Skip Unit"), this);
    btnSkip_->setObjectName(QStringLiteral("btnSkip"));
    btnStop_ = new QPushButton(QStringLiteral("Stop"), this);
    btnStop_->setObjectName(QStringLiteral("btnStop"));
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblFleetStatus"));
    pbPager_ = new QProgressBar(this);
    pbPager_->setObjectName(QStringLiteral("pbPager"));
    pbPager_->setRange(0, 256);
    pbPager_->setValue(0);
    stepRow->addWidget(btnGoOn_);
    stepRow->addWidget(btnSkip_);
    stepRow->addWidget(btnStop_);
    stepRow->addWidget(lblStatus_, 1);
    stepRow->addWidget(pbPager_, 1);
    layout->addLayout(stepRow);
    pbFleet_ = new QProgressBar(this);
    pbFleet_->setObjectName(QStringLiteral("pbFleet"));
    pbFleet_->setFormat(QStringLiteral("%v of %m units"));
    pbFleet_->setRange(0, 1);
    pbFleet_->setValue(0);
    layout->addWidget(pbFleet_);
    memLog_ = new QPlainTextEdit(this);
    memLog_->setObjectName(QStringLiteral("memLog"));
    memLog_->setReadOnly(true);
    layout->addWidget(memLog_, 1);

    auto* buttons = new QHBoxLayout;
    btnWrite_ = new QPushButton(QStringLiteral("Write All"), this);
    btnWrite_->setObjectName(QStringLiteral("btnWriteAll"));
    btnClose_ = new QPushButton(QStringLiteral("Close"), this);
    btnClose_->setObjectName(QStringLiteral("btnClose"));
    buttons->addStretch(1);
    buttons->addWidget(btnWrite_);
    buttons->addWidget(btnClose_);
    layout->addLayout(buttons);

    for (QPushButton* step : {btnGoOn_, btnSkip_, btnStop_}) step->setEnabled(false);
    connect(btnCheck_, &QPushButton::clicked, this, &FleetDialog::CheckClick);
    connect(btnWrite_, &QPushButton::clicked, this, &FleetDialog::WriteClick);
    connect(btnClose_, &QPushButton::clicked, this, &FleetDialog::reject);
    connect(btnGoOn_, &QPushButton::clicked, this, [this] { Answer(UnitStep::Go); });
    connect(btnSkip_, &QPushButton::clicked, this, [this] { Answer(UnitStep::Skip); });
    connect(btnStop_, &QPushButton::clicked, this, [this] {
        stopRequested_ = true;
        lblStep_->setText(QStringLiteral("Stopping once the pager in hand is done ..."));
        Answer(UnitStep::Stop);
    });
}

bool FleetDialog::LoadFleet() {
    fleet_.reset();
    sheetPanel_->ShowFleet(nullptr, {}, {}, {});
    grdUnits_->setRowCount(0);
    memProblems_->clear();
    auto checked = CheckFleet(PathOf(edtBase_), PathOf(edtRoster_),
                              chkUserMode_->isChecked() ? ToneEntryMode::User : ToneEntryMode::Standard);
    if (const auto* error = std::get_if<TableError>(&checked)) {
        memProblems_->setPlainText(ToQString(DescribeTableError(PathOf(edtRoster_), *error)));
        return false;
    }
    if (const auto* error = std::get_if<Message>(&checked)) {
        ShowMessage(this, *error);
        memProblems_->setPlainText(QStringLiteral("cannot read ") + edtBase_->text());
        return false;
    }
    fleet_ = std::move(std::get<CheckedFleet>(checked));
    // The base is loaded as File > Open loads it, with the same boxes.
    for (const auto& message : fleet_->baseLoad.Messages()) ShowMessage(this, message);
    ShowUnits();
    sheetPanel_->ShowFleet(&*fleet_, PathOf(edtBase_), PathOf(edtRoster_), PathOf(edtLog_));
    return true;
}

void FleetDialog::ShowUnits() {
    grdUnits_->setRowCount(static_cast<int>(fleet_->units.size()));
    // Each problem once in the box, numbered as the chart marks it; a unit's row names its problems
    // by number and in brief (a call shared by thousands names them all in the box).
    QStringList report;
    std::vector<QStringList> planOfUnit(fleet_->units.size());
    for (std::size_t i = 0; i < fleet_->problems.size(); ++i) {
        const PlanProblem& problem = fleet_->problems[i];
        const QString number = QStringLiteral("#%1 ").arg(i + 1);
        report << number + ToQString(problem.text);
        const QString brief = number + ToQString(problem.brief);
        const QString cell = brief.size() > kProblemCellChars ? brief.left(kProblemCellChars) + QChar(0x2026) : brief;
        std::vector<std::size_t> units;
        for (const auto& tone : problem.tones) units.push_back(tone.unit);
        std::sort(units.begin(), units.end());
        units.erase(std::unique(units.begin(), units.end()), units.end());
        for (const std::size_t unit : units) planOfUnit[unit] << cell;
    }
    QStringList refused;
    for (std::size_t row = 0; row < fleet_->units.size(); ++row) {
        const UnitImage& unit = fleet_->units[row];
        QStringList problems;
        for (const auto& cell : unit.refusals) {
            QString text = ToQString(cell.key) + " \"" + ToQString(cell.value) + "\": ";
            for (const auto& message : cell.messages) text += ToQString(message.text).simplified() + " ";
            text += ToQString(cell.complaint);
            problems << text.trimmed();
            refused << ToQString(unit.name) + ": " + text.trimmed();
        }
        problems << planOfUnit[row];
        const auto put = [&](int column, const QString& text) {
            auto* item = new QTableWidgetItem(text);
            if (!problems.isEmpty()) item->setBackground(kProblemColour);  // before it is in the table
            grdUnits_->setItem(static_cast<int>(row), column, item);
        };
        put(kUnitColumn, ToQString(unit.name));
        for (unsigned call = 1; call <= kCalls; ++call)
            put(kFirstCallColumn + static_cast<int>(call) - 1, ToQString(CallTonesText(unit.image, call)));
        for (unsigned group = 1; group <= kGroupCalls; ++group)
            put(kFirstGroupColumn + static_cast<int>(group) - 1, ToQString(GroupToneText(unit.image, group)));
        put(kCheckColumn, problems.isEmpty() ? QStringLiteral("ok") : problems.join(QStringLiteral("; ")));
        put(kOutcomeColumn, QString());
    }
    grdUnits_->resizeColumnsToContents();
    report = refused + report;
    const std::size_t plan = fleet_->problems.size();
    QString summary = QString("%1 units, ").arg(fleet_->units.size());
    if (report.isEmpty()) summary += QStringLiteral("no problems");
    else if (fleet_->HasRefusedCells()) summary += QString("refused cells, %1 tone plan problem(s)").arg(plan);
    else summary += QString("%1 tone plan problem(s)").arg(plan);
    report << summary;
    memProblems_->setPlainText(report.join('\n'));
    pbFleet_->setRange(0, static_cast<int>(fleet_->units.size()));
    pbFleet_->setValue(0);
}

void FleetDialog::CheckClick() {
    if (!writing_) LoadFleet();
}

void FleetDialog::WriteClick() {
    if (writing_ || !LoadFleet()) return;
    if (fleet_->HasRefusedCells()) {
        ShowMessage(this, WarningMessage("Some units' values are refused (marked in the table); no pager is written."));
        return;
    }
    if (!fleet_->ReadyToWrite(false)) {
        Message question = WarningMessage("The fleet's tone plan has problems (marked in the table).\nWrite all the same?");
        question.buttons = MessageButtons::YesNo;
        if (ShowMessage(this, question) != MessageAnswer::Yes) return;
    }
    if (edtLog_->text().isEmpty()) {
        ShowMessage(this, WarningMessage("Name the log file: it records every unit and lets a stopped run go on."));
        return;
    }
    FleetWriteOptions options;
    options.port = portName_;
    options.log = PathOf(edtLog_);
    if (!edtOut_->text().isEmpty()) options.outDirectory = PathOf(edtOut_);
    options.waitForPagers = chkWait_->isChecked();
    options.changedOnly = chkChangedOnly_->isChecked();

    writing_ = true;
    stopRequested_ = false;
    SetEditing(false);
    btnStop_->setEnabled(true);
    const FleetWriteSummary summary = WriteFleet(fleet_->units, options, port_, *this);
    writing_ = false;
    for (QPushButton* step : {btnGoOn_, btnSkip_, btnStop_}) step->setEnabled(false);
    SetEditing(true);
    pbPager_->setValue(0);
    if (summary.logError) {
        lblStep_->setText(ToQString(DescribeTableError(options.log, *summary.logError)));
        return;
    }
    lblStep_->setText(ToQString(SummaryText(summary, fleet_->units.size())));
}

void FleetDialog::SetEditing(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{edtBase_, edtRoster_, edtLog_, edtOut_, chkWait_, chkChangedOnly_,
                                                             chkUserMode_, btnCheck_, btnWrite_, btnClose_})
        control->setEnabled(enabled);
}

// Waits in the event loop until the technician answers with one of the step buttons (or Stop).
UnitStep FleetDialog::AskStep(const QString& text, const QString& goOnCaption) {
    lblStep_->setText(text);
    btnGoOn_->setText(goOnCaption);
    for (QPushButton* step : {btnGoOn_, btnSkip_, btnStop_}) step->setEnabled(true);
    btnGoOn_->setDefault(true);
    btnGoOn_->setFocus();
    answer_.reset();
    if (!stopRequested_) {
        QEventLoop loop;
        waitingForAnswer_ = &loop;
        loop.exec();
        waitingForAnswer_ = nullptr;
    }
    btnGoOn_->setEnabled(false);
    btnSkip_->setEnabled(false);
    return stopRequested_ ? UnitStep::Stop : answer_.value_or(UnitStep::Stop);
}

void FleetDialog::Answer(UnitStep step) {
    answer_ = step;
    if (waitingForAnswer_) waitingForAnswer_->quit();
}

DeviceOperationView& FleetDialog::DeviceView() { return *stepView_; }

UnitStep FleetDialog::AskToConnect(const UnitImage& unit, std::size_t number, std::size_t count) {
    return AskStep(QString("Connect the pager of unit %1 (%2 of %3), then click Go On.")
                       .arg(ToQString(unit.name))
                       .arg(number)
                       .arg(count),
                   QStringLiteral("Go On"));
}

UnitStep FleetDialog::AskToWriteOver(const UnitImage& unit, const LoggedWrite& held) {
    return AskStep(QString("The pager behind the board holds unit %1's image, written %2. Write unit %3 into it?")
                       .arg(ToQString(held.unit), ToQString(held.time), ToQString(unit.name)),
                   QString("Write %1 Into It").arg(ToQString(unit.name)));
}

void FleetDialog::ShowWaiting(const UnitImage& unit, std::string_view why) {
    lblStep_->setText(QString("Waiting for the pager of unit %1: %2").arg(ToQString(unit.name), ToQString(why)));
}

UnitStep FleetDialog::AskAfterFailure(const UnitImage& unit, const std::string& message) {
    return AskStep(QString("Unit %1 failed: %2").arg(ToQString(unit.name), ToQString(message).simplified()),
                   QStringLiteral("Try Again"));
}

void FleetDialog::ShowUnitDone(const UnitImage& unit, UnitOutcome outcome, const std::vector<std::string>& logLine) {
    for (int row = 0; row < grdUnits_->rowCount(); ++row)
        if (grdUnits_->item(row, kUnitColumn)->text() == ToQString(unit.name))
            grdUnits_->item(row, kOutcomeColumn)->setText(ToQString(OutcomeText(outcome)));
    if (!logLine.empty()) memLog_->appendPlainText(ToQString(CsvLine(logLine)));
    if (outcome != UnitOutcome::Failed) pbFleet_->setValue(pbFleet_->value() + 1);
}

void FleetDialog::ShowProblem(const std::string& text) { memLog_->appendPlainText(ToQString(text)); }

void FleetDialog::closeEvent(QCloseEvent* event) {
    if (!writing_) {
        QDialog::closeEvent(event);
        return;
    }
    // A close while pagers are being written stops the run between units; the dialog stays.
    stopRequested_ = true;
    Answer(UnitStep::Stop);
    event->ignore();
}

void FleetDialog::reject() {
    if (writing_) {
        stopRequested_ = true;
        Answer(UnitStep::Stop);
        return;
    }
    QDialog::reject();
}

}  // namespace zr::gui
