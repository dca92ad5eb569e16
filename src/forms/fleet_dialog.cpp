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
#include <QScreen>
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

// Each column as wide as its texts, Outcome as wide as a usual outcome, Check the rest.
void SizeUnitColumns(QTableWidget& grid) {
    grid.resizeColumnsToContents();
    grid.setColumnWidth(kOutcomeColumn, grid.fontMetrics().horizontalAdvance(QStringLiteral("differs: call1.tone2")) + 16);
}

// Room a window manager's borders and title bar take at most.
constexpr QSize kWindowFrame(16, 48);

}  // namespace

// What each Write or Read shows, inside the dialog: its status text, the pager's progress bar, and
// its message, which goes to the status line instead of a box to click away for every pager. Once
// the operation talks to the pager, the step line says what happens now.
class FleetDialog::StepView final : public DeviceOperationView {
public:
    StepView(QLabel& step, QLabel& status, QProgressBar& progress) : step_(step), status_(status), progress_(progress) {}

    // What the next Write or Read does, for the step line: "Writing unit P-01 (1 of 2) ...".
    QString now;

    void SetStatusText(std::string_view text) override {
        if (!now.isEmpty()) step_.setText(now);
        status_.setText(ToQString(text).trimmed());
    }
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
    QLabel& step_;
    QLabel& status_;
    QProgressBar& progress_;
};

FleetDialog::FleetDialog(CommPort& port, std::string portName, const std::filesystem::path& startDirectory,
                         QWidget* parent)
    : QDialog(parent), port_(port), portName_(std::move(portName)), startDirectory_(startDirectory) {
    setObjectName(QStringLiteral("FleetDialog"));
    setWindowTitle(QStringLiteral("Program a Fleet"));
    BuildControls(startDirectory);
    stepView_ = std::make_unique<StepView>(*lblStep_, *lblStatus_, *pbPager_);
    // Roomy where the screen allows, never larger than the screen with the window's frame and title
    // bar (800 x 600 laptops at the cabinet).
    const QScreen* shown = parent ? parent->screen() : screen();
    resize(QSize(900, 640).boundedTo(shown->availableGeometry().size() - kWindowFrame));
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
        browse->setObjectName(QStringLiteral("btnBrowse") + QLatin1String(name).mid(3));
        browseButtons_ << browse;
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
    layout->addLayout(files);

    auto* options = new QHBoxLayout;
    chkUserMode_ = new QCheckBox(QStringLiteral("Take tones in User Mode"), this);
    chkUserMode_->setObjectName(QStringLiteral("chkUserMode"));
    chkWait_ = new QCheckBox(QStringLiteral("Wait for each new pager"), this);
    chkWait_->setObjectName(QStringLiteral("chkWait"));
    chkWait_->setToolTip(QStringLiteral(
        "Instead of asking before each pager, go on by yourself once a pager not handled last is behind the board"));
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
    // The Check column takes what room is left and cuts its text (each cell's tooltip holds it
    // whole), so that Outcome stays in sight.
    grdUnits_->setWordWrap(false);
    grdUnits_->horizontalHeader()->setStretchLastSection(false);
    grdUnits_->horizontalHeader()->setSectionResizeMode(kCheckColumn, QHeaderView::Stretch);
    SizeUnitColumns(*grdUnits_);
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
    pbFleet_ = new QProgressBar(this);
    pbFleet_->setObjectName(QStringLiteral("pbFleet"));
    pbFleet_->setRange(0, 1);
    pbFleet_->setValue(0);
    pbFleet_->setTextVisible(false);  // no count before a roster is loaded
    stepRow->addWidget(lblStatus_, 1);
    stepRow->addWidget(pbPager_, 1);
    stepRow->addWidget(pbFleet_, 1);
    layout->addLayout(stepRow);
    memLog_ = new QPlainTextEdit(this);
    memLog_->setObjectName(QStringLiteral("memLog"));
    memLog_->setReadOnly(true);
    layout->addWidget(memLog_, 1);

    auto* buttons = new QHBoxLayout;
    auto* portLabel = new QLabel(QStringLiteral("Port: ") +
                                     (portName_.empty() ? QStringLiteral("no port chosen") : ToQString(portName_)),
                                 this);
    portLabel->setObjectName(QStringLiteral("lblFleetPort"));
    buttons->addWidget(portLabel);
    btnVerify_ = new QPushButton(QStringLiteral("Verify All"), this);
    btnVerify_->setObjectName(QStringLiteral("btnVerifyAll"));
    btnVerify_->setToolTip(QStringLiteral(
        "Read the pagers one after another and tell which unit each is: as planned, the fields that differ, "
        "or not in this roster"));
    btnRead_ = new QPushButton(QStringLiteral("Read All..."), this);
    btnRead_->setObjectName(QStringLiteral("btnReadAll"));
    btnRead_->setToolTip(QStringLiteral(
        "Read the pagers one after another into table files in a folder, with a roster that programs fresh "
        "pagers with the same images"));
    btnWrite_ = new QPushButton(QStringLiteral("Write All"), this);
    btnWrite_->setObjectName(QStringLiteral("btnWriteAll"));
    btnClose_ = new QPushButton(QStringLiteral("Close"), this);
    btnClose_->setObjectName(QStringLiteral("btnClose"));
    buttons->addStretch(1);
    buttons->addWidget(btnVerify_);
    buttons->addWidget(btnRead_);
    buttons->addWidget(btnWrite_);
    buttons->addWidget(btnClose_);
    layout->addLayout(buttons);

    for (QPushButton* step : {btnGoOn_, btnSkip_, btnStop_}) step->setEnabled(false);
    connect(btnCheck_, &QPushButton::clicked, this, &FleetDialog::CheckClick);
    connect(btnWrite_, &QPushButton::clicked, this, &FleetDialog::WriteClick);
    connect(btnVerify_, &QPushButton::clicked, this, &FleetDialog::VerifyClick);
    connect(btnRead_, &QPushButton::clicked, this, &FleetDialog::ReadClick);
    connect(btnClose_, &QPushButton::clicked, this, &FleetDialog::reject);
    connect(btnGoOn_, &QPushButton::clicked, this, [this] { Answer(UnitStep::Go); });
    connect(btnSkip_, &QPushButton::clicked, this, [this] { Answer(UnitStep::Skip); });
    connect(btnStop_, &QPushButton::clicked, this, [this] {
        stopRequested_ = true;
        lblStep_->setText(QStringLiteral("Stopping (a Write or Read under way is finished first) ..."));
        Answer(UnitStep::Stop);
    });
}

void FleetDialog::ClearFleet() {
    fleet_.reset();
    sheetPanel_->ShowFleet(nullptr, {}, {}, {});
    grdUnits_->setRowCount(0);
    memProblems_->clear();
    pbFleet_->setRange(0, 1);
    pbFleet_->setValue(0);
    pbFleet_->setTextVisible(false);
}

bool FleetDialog::LoadFleet() {
    // What the last run said belongs to the roster it ran on.
    lblStep_->clear();
    lblStatus_->clear();
    ClearFleet();
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
            item->setToolTip(text);
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
    SizeUnitColumns(*grdUnits_);
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
    pbFleet_->setFormat(QStringLiteral("%v of %m units"));
    pbFleet_->setTextVisible(true);
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

    BeginRun(WritingText(0));
    const FleetWriteSummary summary = WriteFleet(fleet_->units, options, port_, *this);
    EndRun();
    if (summary.logError) {
        lblStep_->setText(ToQString(DescribeTableError(options.log, *summary.logError)));
        return;
    }
    lblStep_->setText(ToQString(SummaryText(summary, fleet_->units.size())));
}

void FleetDialog::BeginRun(const QString& firstStep) {
    SetNextStep(firstStep);
    writing_ = true;
    stopRequested_ = false;
    SetEditing(false);
    btnStop_->setEnabled(true);
}

void FleetDialog::EndRun() {
    writing_ = false;
    stepView_->now.clear();
    for (QPushButton* step : {btnGoOn_, btnSkip_, btnStop_}) step->setEnabled(false);
    SetEditing(true);
    pbPager_->setValue(0);
}

// A file dialog opened during a run would hold the run in its own event loop: every control that
// opens one, or changes what the run works on, is greyed while it goes.
void FleetDialog::SetEditing(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{edtBase_, edtRoster_, edtLog_, edtOut_, chkWait_,
                                                             chkChangedOnly_, chkUserMode_, btnCheck_, btnVerify_,
                                                             btnRead_, btnWrite_, btnClose_, sheetPanel_})
        control->setEnabled(enabled);
    for (QPushButton* browse : browseButtons_) browse->setEnabled(enabled);
}

// Waits in the event loop until the technician answers with one of the step buttons (or Stop).
UnitStep FleetDialog::AskStep(const QString& text, const QString& goOnCaption, bool skippable) {
    lblStep_->setText(text);
    btnGoOn_->setText(goOnCaption);
    for (QPushButton* step : {btnGoOn_, btnSkip_, btnStop_}) step->setEnabled(true);
    btnSkip_->setEnabled(skippable);
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
    const UnitStep step = stopRequested_ ? UnitStep::Stop : answer_.value_or(UnitStep::Stop);
    if (step == UnitStep::Go) lblStep_->setText(stepView_->now);
    return step;
}

void FleetDialog::Answer(UnitStep step) {
    answer_ = step;
    if (waitingForAnswer_) waitingForAnswer_->quit();
}

DeviceOperationView& FleetDialog::DeviceView() { return *stepView_; }

QString FleetDialog::WritingText(int row) const {
    if (row < 0 || row >= grdUnits_->rowCount()) return {};
    return QString("Writing unit %1 (%2 of %3) ...")
        .arg(grdUnits_->item(row, kUnitColumn)->text())
        .arg(row + 1)
        .arg(grdUnits_->rowCount());
}

QString FleetDialog::ReadingText(std::size_t number) { return QString("Reading pager %1 ...").arg(number); }

int FleetDialog::UnitRow(const std::string& name) const {
    for (int row = 0; row < grdUnits_->rowCount(); ++row)
        if (grdUnits_->item(row, kUnitColumn)->text() == ToQString(name)) return row;
    return -1;
}

UnitStep FleetDialog::AskToConnect(const UnitImage& unit, std::size_t number, std::size_t count) {
    SetNextStep(WritingText(UnitRow(unit.name)));
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
    SetNextStep(WritingText(UnitRow(unit.name)));
    lblStep_->setText(QString("Waiting for the pager of unit %1: %2").arg(ToQString(unit.name), ToQString(why)));
}

UnitStep FleetDialog::AskAfterFailure(const UnitImage& unit, const std::string& message) {
    SetNextStep(WritingText(UnitRow(unit.name)));  // Try Again writes this unit, not the next
    return AskStep(QString("Unit %1 failed: %2").arg(ToQString(unit.name), ToQString(message).simplified()),
                   QStringLiteral("Try Again"));
}

void FleetDialog::ShowOutcome(int row, const QString& outcome, const QString& detail, bool problem) {
    if (row < 0) return;
    QTableWidgetItem* cell = grdUnits_->item(row, kOutcomeColumn);
    cell->setText(outcome);
    cell->setToolTip(detail.isEmpty() ? outcome : detail);
    cell->setBackground(problem ? QBrush(kProblemColour) : grdUnits_->item(row, kUnitColumn)->background());
}

void FleetDialog::SetNextStep(const QString& text) { stepView_->now = text; }

int FleetDialog::UnitsWithOutcome() const {
    int units = 0;
    for (int row = 0; row < grdUnits_->rowCount(); ++row)
        if (!grdUnits_->item(row, kOutcomeColumn)->text().isEmpty()) ++units;
    return units;
}

void FleetDialog::ShowUnitDone(const UnitImage& unit, UnitOutcome outcome, const std::vector<std::string>& logLine) {
    const int row = UnitRow(unit.name);
    ShowOutcome(row, ToQString(OutcomeText(outcome)), QString(), outcome == UnitOutcome::Failed);
    // The units go in the roster's order: a pager waited for is the next row's.
    if (row + 1 < grdUnits_->rowCount()) {
        SetNextStep(WritingText(row + 1));
        if (chkWait_->isChecked())
            lblStep_->setText(QString("Waiting for the pager of unit %1 ...").arg(grdUnits_->item(row + 1, kUnitColumn)->text()));
    }
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
