#include "main_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <array>

#include "about_dialog.h"
#include "access_code_dialog.h"
#include "device_operations.h"
#include "board_check_notice.h"
#include "port_name_box.h"
#include "tone_table_dialog.h"
#include "call_switches.h"
#include "field_editors.h"
#include "fleet_dialog.h"
#ifdef ZR250PRO_HAVE_TEST_PAGES
#include "decode_recording_dialog.h"
#include "test_page_dialog.h"
#endif
#include "reset_help_dialog.h"
#include "message_boxes.h"
#include "option_switches.h"
#include "table_file_dialogs.h"
#include "table_files.h"
#include "ui_main_window.h"
#include "window_device_view.h"

namespace {

using zr::gui::ToQString;

constexpr const char* kReadyStatus = "  Ready ......";
constexpr int kHintDisplayMilliseconds = 7000;
constexpr int kProgressPanelWidth = 320;
constexpr int kStatusTextPanelWidth = 330;
constexpr int kFileNamePanelWidth = 50;

// The families of like controls, in the order a control's name is matched against them.
constexpr std::array<const char*, 16> kFamilyPrefixes = {
    "edtT1",       "edtT2",         "chkDuty",        "chkPriority", "chkSYS",   "edtAlertTime",
    "cboAlertType", "edtT3",        "chkGDuty",       "chkGPriority", "edtGAlertTime", "cboGAlertType",
    "panCall",     "panGCall",      "edtSQL_OFF",     "edtSQL_ON"};

// Write Mode greys every control whose name begins so; Modify Mode gives them back.
bool IsEditorControl(const QString& name) {
    for (const char* prefix : {"edt", "cbo", "chk", "btn"})
        if (name.startsWith(QLatin1String(prefix))) return true;
    return false;
}

}  // namespace

MainWindow::MainWindow(zr::CommPort& port, QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::MainWindow>()),
      port_(port),
      image_(zr::BuiltInDefaultImage()),
      squelchLevels_(zr::BuiltInSquelchLevelTable()),
      saveTarget_(zr::kDefaultTableName),
      deviceView_(std::make_unique<zr::gui::WindowDeviceView>(*this)) {
    Q_INIT_RESOURCE(resources);  // the pictures live in a static library: make sure they are linked in
    ui->setupUi(this);
    // The program's icon, for this window and every box and dialog it opens.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setWindowIcon(QApplication::windowIcon());
    // The window's defaults that a form cannot say: the Advance Setting tab starts hidden.
    ShowAdvancePage(false);
    CreateStatusPanels();
    FormCreate();
    // The other windows, created hidden in this order.
    aboutDialog_ = new AboutDialog(this);
    toneTable_ = new ToneTableDialog(this);
    resetHelp_ = new ResetHelpDialog(this);
    boardCheckNotice_ = new BoardCheckNotice(this);
    new zr::gui::PortNameBox(ui->cboPort);
    accessCode_ = new AccessCodeDialog(this);
    connect(accessCode_, &AccessCodeDialog::advancePageUnlocked, this, [this] {
        ShowAdvancePage(true);
        ui->Advance2->setEnabled(false);
    });
    connect(accessCode_, &AccessCodeDialog::advancePageLocked, this, [this] {
        ShowAdvancePage(false);
        ui->Advance2->setEnabled(true);
    });
    ConnectMenus();
}

MainWindow::~MainWindow() { ClosePort(); }

void MainWindow::FormCreate() {
    ui->PB1->setRange(0, 1);  // an empty bar (a range of 0..0 would show Qt's busy indicator)
    ui->PB1->setValue(0);
    scaler_.Record(size(), ui->centralwidget, {ui->PB1});
    setWindowState(windowState() | Qt::WindowMaximized);
    ApplyHintDisplayTime();
    BuildControlFamilies();
    portNames_.clear();
    startDirectory_ = zr::gui::PathFromQString(QDir::currentPath());
    zr::WriteSystemTag(image_);
    ConnectFieldEditors();
    LoadImageIntoEditor();
}

void MainWindow::ApplyHintDisplayTime() {
    for (QWidget* control : findChildren<QWidget*>())
        if (!control->toolTip().isEmpty()) control->setToolTipDuration(kHintDisplayMilliseconds);
}

void MainWindow::BuildControlFamilies() {
    for (QWidget* control : ui->centralwidget->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        for (const char* prefix : kFamilyPrefixes) {
            if (!name.startsWith(QLatin1String(prefix))) continue;
            families_[QLatin1String(prefix)].insert(control->property("Tag").toInt(), control);
            break;
        }
    }
}

void MainWindow::CreateStatusPanels() {
    progressPanel_ = new QWidget(statusBar());
    progressPanel_->setObjectName(QStringLiteral("StatusPanel0"));
    progressPanel_->setFixedWidth(kProgressPanelWidth);
    progressPanel_->installEventFilter(this);
    statusText_ = new QLabel(ToQString(kReadyStatus), statusBar());
    statusText_->setObjectName(QStringLiteral("StatusPanel1"));
    statusText_->setFixedWidth(kStatusTextPanelWidth);
    fileNamePanel_ = new QLabel(statusBar());
    fileNamePanel_->setObjectName(QStringLiteral("StatusPanel2"));
    fileNamePanel_->setMinimumWidth(kFileNamePanelWidth);
    // Permanent panels, so that no status tip of a menu item ever covers them.
    statusBar()->addPermanentWidget(progressPanel_, 0);
    statusBar()->addPermanentWidget(statusText_, 0);
    statusBar()->addPermanentWidget(fileNamePanel_, 1);
}

QProgressBar* MainWindow::ProgressBar() const { return ui->PB1; }

QWidget* MainWindow::EditorControls() { return ui->centralwidget; }

void MainWindow::ConnectMenus() {
    connect(ui->ExitE1, &QAction::triggered, this, &MainWindow::ExitE1Click);
    connect(ui->OpenO1, &QAction::triggered, this, &MainWindow::OpenO1Click);
    connect(ui->SaveS1, &QAction::triggered, this, &MainWindow::SaveS1Click);
    connect(ui->SaveAs1, &QAction::triggered, this, &MainWindow::SaveAs1Click);
    connect(ui->Print1, &QAction::triggered, this, &MainWindow::Print1Click);
    connect(ui->ExportCard1, &QAction::triggered, this, &MainWindow::ExportCard1Click);
    // The fleet's menu item lives with its dialog, just above Exit.
    programFleet_ = new QAction(QStringLiteral("Program a &Fleet..."), this);
    programFleet_->setObjectName(QStringLiteral("ProgramFleet1"));
    ui->FileF1->insertAction(ui->ExitE1, programFleet_);
    connect(programFleet_, &QAction::triggered, this, &MainWindow::ProgramFleetClick);
    connect(ui->Read1, &QAction::triggered, this, &MainWindow::Read1Click);
    connect(ui->Write1, &QAction::triggered, this, &MainWindow::Write1Click);
    connect(ui->Verify1, &QAction::triggered, this, &MainWindow::Verify1Click);
    connect(ui->TestPage1, &QAction::triggered, this, &MainWindow::TestPageClick);
    connect(ui->DecodeRecording1, &QAction::triggered, this, &MainWindow::DecodeRecordingClick);
    connect(ui->Advance2, &QAction::triggered, this, &MainWindow::Advance2Click);
    connect(ui->About2, &QAction::triggered, this, &MainWindow::About2Click);
    connect(ui->RBtModify, &QRadioButton::clicked, this, &MainWindow::RBtModifyClick);
    connect(ui->RBtWrite, &QRadioButton::clicked, this, &MainWindow::RBtWriteClick);
    ui->lblHelp->installEventFilter(this);

    // The mouse over the window or one of these group boxes ends the editing of the focused field.
    for (QWidget* area : {ui->centralwidget, static_cast<QWidget*>(ui->GroupBox2), static_cast<QWidget*>(ui->GroupBox7),
                          static_cast<QWidget*>(ui->GroupBox5), static_cast<QWidget*>(ui->GroupBox3)}) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }

    // F10 takes the keyboard to the menu bar and opens its first menu, as on the desktops.
    auto* menuBarKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuBarKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(menuBar()->actions().first()); });

    auto* toneTableKey = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(toneTableKey, &QShortcut::activated, this, &MainWindow::FormShortCut);

    QList<QKeySequence> menuShortcuts;
    for (QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty()) menuShortcuts.append(action->shortcut());
    menuShortcuts.append(toneTableKey->key());
    menuShortcuts.append(menuBarKey->key());
    focus_.SetMenuShortcuts(menuShortcuts);
    for (QLineEdit* field : ui->centralwidget->findChildren<QLineEdit*>()) focus_.Watch(field);
}

// ---- start-up

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The start-up steps run once the window is on the screen, so that it is seen behind the
    // board-testing notice.
    QTimer::singleShot(0, this, &MainWindow::FormShow);
}

void MainWindow::FormShow() {
    SetInitialEditingState();
    FillPortList();
    StartupBoardCheck();
    if (!closeWhenIdle_) LoadDefaultTable();  // a window closed during the check loads nothing more
    startupDone_ = true;
    ReactivateAfterModal();
    emit startupFinished();
}

void MainWindow::SetInitialEditingState() {
    ui->Write1->setEnabled(false);
    ui->RBtWrite->setVisible(true);
    ui->RBtModify->setVisible(true);
    ShowAdvancePage(true);
}

void MainWindow::FillPortList() {
    ui->cboPort->clear();
    portNames_ = zr::EnumerateSerialPorts();
    for (const std::string& name : portNames_) ui->cboPort->addItem(QString::fromStdString(name));
    ui->cboPort->setCurrentIndex(portNames_.empty() ? -1 : 0);
    // A port path may be longer than the box: the open list shows every name whole.
    QAbstractItemView* list = ui->cboPort->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width());
}

void MainWindow::StartupBoardCheck() {
    // The port is shared: no menu command may start a transfer while the scan waits for replies.
    busy_ = true;
    const bool read = ui->Read1->isEnabled(), write = ui->Write1->isEnabled(), verify = ui->Verify1->isEnabled();
    deviceView_->SetDeviceMenuEnabled(false, false, false);
    // Exit is the one other item that works meanwhile: a file opened now would be replaced by the
    // default table, and a dialog would hold up the scan's waits. The others are greyed, not ignored.
    const std::array<QAction*, 10> held{ui->OpenO1,   ui->SaveS1,        ui->SaveAs1,          ui->Print1,
                                        ui->ExportCard1, programFleet_,  ui->TestPage1,        ui->DecodeRecording1,
                                        ui->Advance2,    ui->About2};
    std::array<bool, held.size()> wasEnabled{};
    for (std::size_t i = 0; i < held.size(); ++i) {
        wasEnabled[i] = held[i]->isEnabled();
        held[i]->setEnabled(false);
    }
    boardCheckNotice_->ShowNotice();
    checkingAtStartup_ = true;
    const auto found = zr::StartupBoardCheck(port_, portNames_, *deviceView_);
    checkingAtStartup_ = false;
    if (found) ui->cboPort->setCurrentIndex(static_cast<int>(*found));
    boardCheckNotice_->close();
    for (std::size_t i = 0; i < held.size(); ++i) held[i]->setEnabled(wasEnabled[i]);
    deviceView_->SetDeviceMenuEnabled(read, write, verify);
    EndBusy();
}

void MainWindow::EndBusy() {
    busy_ = false;
    if (closeWhenIdle_) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::LoadDefaultTable() {
    const zr::DefaultTableResult result = zr::LoadDefaultTable(startDirectory_, image_);
    if (result.message) ShowMessageBox(*result.message);
    if (result.outcome == zr::DefaultTableOutcome::Loaded) {
        FinishImageLoad();
        cardFile_ = startDirectory_ / zr::kDefaultTableName;
    }
}

void MainWindow::FinishImageLoad() {
    cardFile_.clear();
    LoadImageIntoEditor();
    ShowTone1Fields();
    ShowTone2Fields();
}

// ---- message boxes and modal windows

zr::MessageAnswer MainWindow::ShowMessageBox(const zr::Message& message) {
    // Exit during the start-up check: the technician has left, and the check's verdict is no news.
    if (checkingAtStartup_ && closeWhenIdle_)
        return message.buttons == zr::MessageButtons::YesNo ? zr::MessageAnswer::No : zr::MessageAnswer::Ok;
    const zr::MessageAnswer answer = zr::gui::ShowMessage(this, message);
    ReactivateAfterModal();
    return answer;
}

void MainWindow::ReactivateAfterModal() {
    if (!isVisible()) return;
    activateWindow();
}

// ---- window events

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    scaler_.Apply(size());  // FormResize
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == progressPanel_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        StatusBar1DrawPanel();
    } else if (watched == ui->lblHelp) {
        if (event->type() == QEvent::Enter) lblHelpMouseEnter();
        if (event->type() == QEvent::Leave) lblHelpMouseLeave();
        if (event->type() == QEvent::MouseButtonRelease && ui->lblHelp->rect().contains(
                                                               static_cast<QMouseEvent*>(event)->position().toPoint()))
            lblHelpClick();
    } else if (event->type() == QEvent::MouseMove) {
        FormMouseMove();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::FormMouseMove() {
    // Only in the active window: parking the focus in an inactive one would move it silently, and
    // the field would never be left.
    if (!isActiveWindow()) return;
    ForgetCurrentToneField();
    ui->Label1->setVisible(false);
    ui->Label2->setVisible(false);
    ui->Label9->setVisible(false);
    if (!ui->edtNull->hasFocus()) ui->edtNull->setFocus(Qt::OtherFocusReason);
}

void MainWindow::FormShortCut() {
    if (busy_) return;
    OpenToneTableFromKey();
}

void MainWindow::StatusBar1DrawPanel() {
    ui->PB1->setParent(progressPanel_);
    ui->PB1->setGeometry(progressPanel_->rect());
    ui->PB1->setVisible(true);
}

void MainWindow::SetInputEnabled(bool enabled) {
    if (!enabled) focusBeforeTransfer_ = QApplication::focusWidget();
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
    if (enabled && focusBeforeTransfer_ && focusBeforeTransfer_->isEnabled() && focusBeforeTransfer_->window() == this) {
        // The field had the focus all along as far as its editor knows: not a new enter.
        focusBeforeTransfer_->setFocus(Qt::ActiveWindowFocusReason);
    }
}

// ---- shutdown

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {  // the transfer ends first, it cannot be left half done; then the window closes
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    ClosePort();  // FormClose
    QMainWindow::closeEvent(event);
}

void MainWindow::ClosePort() {
    if (port_.IsOpen()) port_.Close();
}

void MainWindow::ExitE1Click() {
    close();  // the port is closed as the window closes, once no transfer or check has it
}

// ---- File menu

void MainWindow::OpenO1Click() {
    if (busy_) return;
    const auto path = zr::gui::ChooseTableFile(this, zr::gui::TableFileDialogKind::Open, startDirectory_);
    ReactivateAfterModal();
    if (!path) return;
    const zr::OpenResult result = zr::OpenTableFile(*path, image_, squelchLevels_);
    if (result.error) {
        ShowMessageBox(*result.error);
        return;
    }
    FinishImageLoad();
    cardFile_ = *path;
}

void MainWindow::SaveS1Click() {
    if (busy_) return;
    if (zr::SaveNeedsDefaultTableQuestion(saveTarget_) &&
        ShowMessageBox(zr::DefaultTableQuestion()) != zr::MessageAnswer::Yes)
        return;
    if (const auto failure = zr::SaveTableFile(saveTarget_, image_)) ShowMessageBox(failure->message);
}

void MainWindow::SaveAs1Click() {
    if (busy_) return;
    const std::filesystem::path target(saveTarget_);
    const auto path = zr::gui::ChooseTableFile(this, zr::gui::TableFileDialogKind::SaveAs,
                                               zr::SaveAsFolder(target, startDirectory_), target.filename());
    ReactivateAfterModal();
    if (!path) return;
    saveTarget_ = path->string();
    if (const auto failure = zr::SaveTableFileAs(*path, image_)) {
        fileNamePanel_->clear();  // it named the file saved before, which Save no longer writes
        ShowMessageBox(failure->message);
        return;
    }
    fileNamePanel_->setText(QString::fromStdString(zr::SaveAsStatusText(*path, startDirectory_)));
}

// The fleet dialog has the port for as long as it is open, as a transfer has.
void MainWindow::ProgramFleetClick() {
    if (busy_) return;
    busy_ = true;
    const std::size_t selected = SelectedPortIndex();
    {
        zr::gui::FleetDialog dialog(port_, selected < portNames_.size() ? portNames_[selected] : std::string(),
                                    startDirectory_, this);
        dialog.exec();
        if (const auto& fleet = dialog.LoadedFleet()) {
            fleetUnits_.clear();
            for (const zr::UnitImage& unit : fleet->units) fleetUnits_.push_back({unit.name, unit.image});
        }
    }
    EndBusy();
    ReactivateAfterModal();
}

#ifdef ZR250PRO_HAVE_TEST_PAGES
// Pager > Test Page...: beside the window, which stays usable while a page plays.
void MainWindow::TestPageClick() {
    if (!testPage_) testPage_ = new zr::gui::TestPageDialog(image_, this);
    testPage_->show();
    testPage_->raise();
    testPage_->activateWindow();
}

void MainWindow::DecodeRecordingClick() {
    zr::gui::DecodeRecordingDialog dialog(fleetUnits_, this);
    dialog.exec();
    ReactivateAfterModal();
}
#else
// A build without the sound libraries (Windows) keeps the menu items, so that the menu reads the
// same everywhere, and says why they do nothing.
void MainWindow::TestPageClick() {
    zr::gui::ShowMessage(this, zr::InformationMessage("Test pages and recordings are not available in this build: it "
                                                      "has no sound file library and no sound output."));
    ReactivateAfterModal();
}

void MainWindow::DecodeRecordingClick() { TestPageClick(); }
#endif

// ---- Pager menu

std::size_t MainWindow::SelectedPortIndex() const {
    const int index = ui->cboPort->currentIndex();
    return index < 0 ? portNames_.size() : static_cast<std::size_t>(index);
}

template <class Operation>
void MainWindow::RunDeviceOperation(Operation operation) {
    if (busy_) return;
    busy_ = true;
    const zr::DeviceContext context{port_, portNames_, SelectedPortIndex(), image_, squelchLevels_, *deviceView_};
    try {
        operation(context);
    } catch (...) {
        // Whatever ends the transfer, the window is given back before the error is reported.
        SetInputEnabled(true);
        EndBusy();
        throw;
    }
    EndBusy();
    ReactivateAfterModal();
}

void MainWindow::Read1Click() { RunDeviceOperation(zr::ReadPager); }
void MainWindow::Write1Click() { RunDeviceOperation(zr::WritePager); }
void MainWindow::Verify1Click() { RunDeviceOperation(zr::VerifyPager); }

// ---- edit modes and the Advance Setting page

void MainWindow::RBtWriteClick() {
    for (QWidget* control : ui->centralwidget->findChildren<QWidget*>())
        if (IsEditorControl(control->objectName())) control->setEnabled(false);
    ui->edtVersion->setEnabled(true);
    ui->edtNull->setEnabled(true);
    ui->Write1->setEnabled(true);
}

void MainWindow::RBtModifyClick() {
    for (QWidget* control : ui->centralwidget->findChildren<QWidget*>())
        if (IsEditorControl(control->objectName())) control->setEnabled(true);
    // The calls switched off and the options' switches grey their controls again.
    for (unsigned n = 1; n <= 4; ++n)
        if (!Member<QCheckBox>("chkDuty", static_cast<int>(n))->isChecked()) Editors().Apply(zr::EnableCallControls(n, false));
    for (unsigned n = 1; n <= 2; ++n)
        if (!Member<QCheckBox>("chkGDuty", static_cast<int>(n))->isChecked())
            Editors().Apply(zr::EnableGroupCallControls(n, false));
    Editors().Apply(zr::OptionGreyingForModifyMode(ui->chkSYSSV->isChecked(), ui->chkSYSAudio->isChecked(),
                                                   ui->chkSYSPrivacy->isChecked()));
    ui->Write1->setEnabled(false);
}

void MainWindow::ShowAdvancePage(bool visible) {
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->TabSheet4), visible);
}

void MainWindow::Advance2Click() {
    if (busy_) return;
    accessCode_->exec();
    ReactivateAfterModal();
}

// ---- help and about

void MainWindow::lblHelpClick() {
    resetHelp_->exec();
    ReactivateAfterModal();
}

void MainWindow::lblHelpMouseEnter() {
    QFont font = ui->lblHelp->font();
    font.setBold(true);
    font.setUnderline(true);
    ui->lblHelp->setFont(font);
}

void MainWindow::lblHelpMouseLeave() {
    QFont font = ui->lblHelp->font();
    font.setBold(false);
    font.setUnderline(true);
    ui->lblHelp->setFont(font);
}

void MainWindow::About2Click() {
    if (busy_) return;
    aboutDialog_->exec();
    ReactivateAfterModal();
}
