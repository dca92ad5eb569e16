// The small windows beside the main window: the tone table, the board-testing notice, the Advance
// Setting access code, the reset function help and the about box.
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <functional>
#include <vector>

#include "about_dialog.h"
#include "access_code_dialog.h"
#include "board_check_notice.h"
#include "tone_table_dialog.h"
#include "reset_help_dialog.h"
#include "message_boxes.h"

namespace {

// Runs `action` once the modal dialog's own loop is running. Should the action fail to close the
// dialog, the guard ends it so that a failing test cannot hang.
template <typename Dialog, typename Modal>
auto WhileModal(Dialog& dialog, Modal modal, std::function<void()> action) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [&dialog] { dialog.done(-1); });
    guard.start(5000);
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        QVERIFY(dialog.isVisible());
        action();
    });
    return modal();
}

QPoint CellCentre(QTableWidget* grid, int row, int column) {
    return grid->visualItemRect(grid->item(row, column)).center();
}

// A double click as the window system delivers it: a click, then the second press as a double click.
void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

// Records every message box instead of showing it, and answers OK.
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = zr::gui::SetMessageHandler([this](QWidget*, const zr::Message& message) {
            messages.push_back(message);
            return zr::MessageAnswer::Ok;
        });
    }
    ~MessageRecorder() { zr::gui::SetMessageHandler(previous_); }
    std::vector<zr::Message> messages;

private:
    zr::gui::MessageHandler previous_;
};

// Catches the links the about box hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    explicit UrlCatcher(const QString& scheme) : scheme_(scheme) { QDesktopServices::setUrlHandler(scheme, this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }

private:
    QString scheme_;
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { parent_ = std::make_unique<QWidget>(); parent_->resize(814, 700); parent_->show(); }
    void cleanup() { parent_.reset(); }

    void toneTableShowsTheStandardTonesByGroupAndDigit();
    void toneTableEveryWayOutPicksTheCurrentCell_data();
    void toneTableEveryWayOutPicksTheCurrentCell();
    void toneTableHeaderCellsNeverBecomeCurrent();
    void toneTableKeepsTheCurrentCellBetweenOpenings();

    void boardTestingNoticeIsAFramelessNoticeOverTheMainWindow();
    void messageBoxesAreWideEnoughForTheirCaption();

    void accessCodeUnlocksInAnyCaseAndWithBlanks_data();
    void accessCodeUnlocksInAnyCaseAndWithBlanks();
    void accessCodeThreeWrongCodesLockThePage();
    void accessCodeExitAfterTwoWrongCodesChangesNothingAndTheCountStartsAfresh();
    void accessCodeFieldHidesTheCodeAndIsEmptiedOnFocus();

    void resetHelpShowsItsSixteenLinesAndNothingSelectable();

    void aboutBoxShowsTheProductAndItsLinks();
    void readmeIsFoundBesideTheProgramOrInstalled();

private:
    std::unique_ptr<QWidget> parent_;
};

void DialogsTest::toneTableShowsTheStandardTonesByGroupAndDigit() {
    ToneTableDialog table(parent_.get());
    auto* grid = table.findChild<QTableWidget*>("StringGrid1");
    QVERIFY(grid);
    QCOMPARE(table.windowTitle(), QString("Tone Table"));
    QCOMPARE(table.size(), QSize(862, 319));
    QCOMPARE(grid->columnCount(), 15);
    QCOMPARE(grid->rowCount(), 11);

    const QStringList headers = {"Mot 1", "Mot 2", "Mot 3",  "Mot 4",  "Mot 5",  "Mot 6",  "Mot A",
                                 "Mot B", "Mot Z", "Mot 10", "Mot 11", "GE A' ", "GE B' ", "GE C' "};
    for (int column = 1; column <= 14; ++column) {
        QCOMPARE(grid->item(0, column)->text(), headers[column - 1]);
        QCOMPARE(grid->horizontalHeaderItem(column)->text(), headers[column - 1]);
    }
    for (int row = 1; row <= 10; ++row) {
        QCOMPARE(grid->item(row, 0)->text(), QString::number(row - 1));
        QCOMPARE(grid->verticalHeaderItem(row)->text(), QString::number(row - 1));
    }
    QCOMPARE(grid->item(0, 0), nullptr);
    QCOMPARE(grid->item(1, 1)->text(), QString("330.5"));   // Mot 1, digit 0
    QCOMPARE(grid->item(4, 2)->text(), QString("669.9"));   // Mot 2, digit 3
    QCOMPARE(grid->item(1, 3)->text(), QString("1092.4"));  // Mot 3, digit 0
    QCOMPARE(grid->item(10, 11)->text(), QString("2468.2")); // Mot 11, digit 9
    QCOMPARE(grid->item(2, 14)->text(), QString("712.5"));  // GE C', digit 1

    for (int row = 0; row <= 10; ++row)
        for (int column = 0; column <= 14; ++column)
            if (auto* item = grid->item(row, column)) QVERIFY(!(item->flags() & Qt::ItemIsEditable));
    QCOMPARE(grid->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
}

using GridAction = std::function<void(ToneTableDialog&, QTableWidget*)>;
Q_DECLARE_METATYPE(GridAction)

void DialogsTest::toneTableEveryWayOutPicksTheCurrentCell_data() {
    QTest::addColumn<GridAction>("leave");
    QTest::newRow("double click on the cell") << GridAction([](ToneTableDialog&, QTableWidget* grid) {
        DoubleClick(grid->viewport(), CellCentre(grid, 4, 2));
    });
    QTest::newRow("double click on a group header") << GridAction([](ToneTableDialog&, QTableWidget* grid) {
        auto* header = grid->horizontalHeader();
        const QPoint middle(header->sectionViewportPosition(9) + header->sectionSize(9) / 2, header->height() / 2);
        DoubleClick(header->viewport(), middle);
    });
    QTest::newRow("Enter button") << GridAction([](ToneTableDialog& table, QTableWidget*) {
        table.findChild<QPushButton*>("btnEnter")->click();
    });
    QTest::newRow("Enter key in the grid") << GridAction([](ToneTableDialog&, QTableWidget* grid) {
        QTest::keyClick(grid, Qt::Key_Return);
    });
    QTest::newRow("Exit button") << GridAction([](ToneTableDialog& table, QTableWidget*) {
        table.findChild<QPushButton*>("btnExit")->click();
    });
    QTest::newRow("Esc in the grid") << GridAction([](ToneTableDialog&, QTableWidget* grid) {
        QTest::keyClick(grid, Qt::Key_Escape);
    });
    QTest::newRow("Esc on a button") << GridAction([](ToneTableDialog& table, QTableWidget*) {
        QTest::keyClick(table.findChild<QPushButton*>("btnExit"), Qt::Key_Escape);
    });
    QTest::newRow("close box") << GridAction([](ToneTableDialog& table, QTableWidget*) { table.close(); });
}

void DialogsTest::toneTableEveryWayOutPicksTheCurrentCell() {
    QFETCH(GridAction, leave);
    ToneTableDialog table(parent_.get());
    auto* grid = table.findChild<QTableWidget*>("StringGrid1");
    grid->setCurrentCell(4, 2);  // Mot 2, digit 3

    const QString picked = WhileModal(table, [&] { return table.PickTone(); }, [&] { leave(table, grid); });

    QCOMPARE(picked, QString("669.9"));
    QVERIFY(!table.isVisible());
    QCOMPARE(table.result(), int(QDialog::Accepted));  // not the guard
}

void DialogsTest::toneTableHeaderCellsNeverBecomeCurrent() {
    ToneTableDialog table(parent_.get());
    auto* grid = table.findChild<QTableWidget*>("StringGrid1");
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    grid->setFocus();

    auto current = [grid] { return QPoint(grid->currentColumn(), grid->currentRow()); };
    QCOMPARE(current(), QPoint(1, 1));
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Home);
    QCOMPARE(current(), QPoint(1, 1));
    QTest::keyClick(grid, Qt::Key_M);  // would find "Mot 1" in the header row
    QCOMPARE(current(), QPoint(1, 1));

    grid->setCurrentCell(3, 5);
    auto* headerRow = grid->horizontalHeader();
    QTest::mouseClick(headerRow->viewport(), Qt::LeftButton, {},
                      QPoint(headerRow->sectionViewportPosition(7) + 10, headerRow->height() / 2));
    auto* digitColumn = grid->verticalHeader();
    QTest::mouseClick(digitColumn->viewport(), Qt::LeftButton, {},
                      QPoint(digitColumn->width() / 2, digitColumn->sectionViewportPosition(8) + 5));
    grid->setCurrentCell(0, 4);
    grid->setCurrentCell(6, 0);
    QCOMPARE(current(), QPoint(5, 3));
    QVERIFY(grid->currentItem()->isSelected());

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 10, 14));
    QCOMPARE(current(), QPoint(14, 10));
}

void DialogsTest::toneTableKeepsTheCurrentCellBetweenOpenings() {
    ToneTableDialog table(parent_.get());
    auto* grid = table.findChild<QTableWidget*>("StringGrid1");
    auto* exitButton = table.findChild<QPushButton*>("btnExit");
    auto exitAtOnce = [&] { return WhileModal(table, [&] { return table.PickTone(); }, [&] { exitButton->click(); }); };

    QCOMPARE(exitAtOnce(), QString("330.5"));  // the first opening starts at Mot 1, digit 0

    const QString moved = WhileModal(table, [&] { return table.PickTone(); }, [&] {
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        exitButton->click();
    });
    QCOMPARE(moved, QString("669.9"));
    grid->horizontalHeader()->resizeSection(3, 90);

    QCOMPARE(exitAtOnce(), QString("669.9"));
    QCOMPARE(grid->columnWidth(3), 90);
}

void DialogsTest::boardTestingNoticeIsAFramelessNoticeOverTheMainWindow() {
    parent_->move(100, 50);
    BoardCheckNotice notice(parent_.get());
    QCOMPARE(notice.findChild<QLabel*>("Label2")->text(), QString("ZR250Pro  Programmer"));
    QCOMPARE(notice.findChild<QLabel*>("Label1")->text(), QString("Target board testing ....."));
    QVERIFY(!notice.findChild<QLabel*>("Image1")->pixmap().isNull());

    QSignalSpy painted(&notice, &BoardCheckNotice::painted);
    notice.ShowNotice();
    QVERIFY(notice.isVisible());
    QVERIFY(painted.count() >= 1);  // on screen before the blocking board scan starts
    QVERIFY(!notice.isModal());
    QVERIFY(notice.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(notice.size(), QSize(325, 81));
    QVERIFY(qAbs(notice.frameGeometry().center().x() - parent_->frameGeometry().center().x()) <= 1);
    QVERIFY(qAbs(notice.frameGeometry().center().y() - parent_->frameGeometry().center().y()) <= 1);

    // The window grown or moved as the window manager shows it (maximised): the notice follows.
    parent_->setGeometry(0, 0, 1200, 900);
    QTRY_VERIFY(qAbs(notice.frameGeometry().center().x() - parent_->frameGeometry().center().x()) <= 1);
    QTRY_VERIFY(qAbs(notice.frameGeometry().center().y() - parent_->frameGeometry().center().y()) <= 1);

    notice.close();
    QVERIFY(!notice.isVisible());
}

// A box with a short text is still as wide as its caption and the title bar's buttons, so that the
// window manager shows the caption whole, not squeezed to "Z… o".
void DialogsTest::messageBoxesAreWideEnoughForTheirCaption() {
    for (const zr::Message& message : {zr::PlainMessage("OK"), zr::WarningMessage("?")}) {
        int shownWidth = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            shownWidth = box->width();
            box->accept();
        });
        zr::gui::ShowMessage(parent_.get(), message);
        QFont bold = parent_->font();
        bold.setBold(true);
        const int captionWidth = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(message.caption));
        QVERIFY2(shownWidth >= captionWidth + 100, qPrintable(QString::fromStdString(message.caption)));
    }
}

void DialogsTest::accessCodeUnlocksInAnyCaseAndWithBlanks_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("as given") << "KQ482ZEN" << "KQ482ZEN";
    QTest::newRow("lower case") << "kq482zen" << "KQ482ZEN";
    QTest::newRow("blanks around") << "  kQ482Zen " << "  KQ482ZEN ";
}

void DialogsTest::accessCodeUnlocksInAnyCaseAndWithBlanks() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    MessageRecorder recorder;
    AccessCodeDialog dialog(parent_.get());
    QSignalSpy unlocked(&dialog, &AccessCodeDialog::advancePageUnlocked);
    QSignalSpy locked(&dialog, &AccessCodeDialog::advancePageLocked);
    auto* code = dialog.findChild<QLineEdit*>("edtPwd");

    dialog.open();
    QTest::keyClicks(code, typed);
    QTest::keyClick(code, Qt::Key_Return);  // Enter in the field runs OK

    QCOMPARE(unlocked.count(), 1);
    QCOMPARE(locked.count(), 0);
    QCOMPARE(code->text(), shown);
    QVERIFY(recorder.messages.empty());
    QVERIFY(!dialog.isVisible());
}

void DialogsTest::accessCodeThreeWrongCodesLockThePage() {
    MessageRecorder recorder;
    AccessCodeDialog dialog(parent_.get());
    QSignalSpy unlocked(&dialog, &AccessCodeDialog::advancePageUnlocked);
    QSignalSpy locked(&dialog, &AccessCodeDialog::advancePageLocked);
    auto* code = dialog.findChild<QLineEdit*>("edtPwd");
    auto* ok = dialog.findChild<QPushButton*>("btnOK");

    dialog.open();
    for (const QString wrong : {"KQ482ZE", ""}) {
        code->setText(wrong);
        ok->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(code->text(), QString());
        QCOMPARE(locked.count(), 0);
    }
    code->setText("kq482zem");
    ok->click();

    QCOMPARE(recorder.messages.size(), 3u);
    for (const auto& message : recorder.messages) QCOMPARE(message, zr::WarningMessage("Password is Error !"));
    QCOMPARE(locked.count(), 1);
    QCOMPARE(unlocked.count(), 0);
    QVERIFY(!dialog.isVisible());

    // The menu item still opens the dialog, and the right code brings the page back.
    dialog.open();
    code->setText("KQ482ZEN");
    ok->click();
    QCOMPARE(unlocked.count(), 1);
}

void DialogsTest::accessCodeExitAfterTwoWrongCodesChangesNothingAndTheCountStartsAfresh() {
    MessageRecorder recorder;
    AccessCodeDialog dialog(parent_.get());
    QSignalSpy unlocked(&dialog, &AccessCodeDialog::advancePageUnlocked);
    QSignalSpy locked(&dialog, &AccessCodeDialog::advancePageLocked);
    auto* code = dialog.findChild<QLineEdit*>("edtPwd");
    auto* ok = dialog.findChild<QPushButton*>("btnOK");
    auto twoWrongCodes = [&] {
        for (int i = 0; i < 2; ++i) {
            code->setText("wrong");
            ok->click();
        }
    };

    dialog.open();
    twoWrongCodes();
    dialog.findChild<QPushButton*>("btnCancel")->click();
    QVERIFY(!dialog.isVisible());

    dialog.open();
    twoWrongCodes();
    QVERIFY(dialog.isVisible());  // the earlier opening's two tries do not count
    dialog.close();               // the close box changes nothing either
    QVERIFY(!dialog.isVisible());

    QCOMPARE(recorder.messages.size(), 4u);
    QCOMPARE(locked.count(), 0);
    QCOMPARE(unlocked.count(), 0);
}

void DialogsTest::accessCodeFieldHidesTheCodeAndIsEmptiedOnFocus() {
    AccessCodeDialog dialog(parent_.get());
    auto* code = dialog.findChild<QLineEdit*>("edtPwd");
    QCOMPARE(dialog.windowTitle(), QString("Password"));
    QCOMPARE(code->echoMode(), QLineEdit::Password);
    QVERIFY(dialog.findChild<QLineEdit*>("edtNull"));
    QCOMPARE(dialog.findChild<QPushButton*>("btnCancel")->text(), QString("Exit"));

    dialog.open();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), code);
    QTest::keyClicks(code, "KQ4");
    QCOMPARE(code->displayText(), QString("***"));  // every character shows as "*"
    dialog.findChild<QPushButton*>("btnCancel")->setFocus();
    code->setFocus();
    QCOMPARE(code->text(), QString());
}

void DialogsTest::resetHelpShowsItsSixteenLinesAndNothingSelectable() {
    ResetHelpDialog help(parent_.get());
    auto* memo = help.findChild<QPlainTextEdit*>("Memo1");
    const QStringList expected = {
        "                      RESET FUNCTION HELP",
        " This field sets the method to reset the audio.",
        " There are 6 methods, depending on the model.",
        " 1. Auto RESET:",
        "    Resets the audio when carrier drops.",
        " 2. Delay N sec Auto Reset:",
        "    Waits N seconds before checking carrier drop.",
        " 3. Manual RESET:",
        "    Resets the audio only when the Reset Switch is depressed.",
        " 4. Time-out RESET:",
        "    Resets after a selected amount of time only.",
        " 5. Revert SQ:",
        "    Reverts to Monitor Mode after receiving a SelCall page.",
        " 6. Delay AUTO_N with Revert:",
        "    Wait N seconds and then behave as monitor mode ",
        "    until the reset button is pushed.",
    };
    QCOMPARE(memo->toPlainText().split('\n'), expected);
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->textInteractionFlags(), Qt::NoTextInteraction);
    QCOMPARE(memo->focusPolicy(), Qt::NoFocus);
    QVERIFY(help.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(help.windowTitle(), QString("RESET FUNCTION HELP"));

    const int result = WhileModal(help, [&] { return help.exec(); },
                                  [&] { help.findChild<QPushButton*>("Button1")->click(); });
    QCOMPARE(result, int(QDialog::Accepted));
}

void DialogsTest::aboutBoxShowsTheProductAndItsLinks() {
    // Started from the build tree, as the program is.
    const QString programFolder = QFileInfo(ZR250PRO_WINDOW).absolutePath();
    AboutDialog about(parent_.get(), programFolder);
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.findChild<QLabel*>("ProductName")->text(), QString("ZR250 Pro"));
    QCOMPARE(about.findChild<QLabel*>("Version")->text(), QString("Version 1.0.7 (2012.2.7)"));
    QCOMPARE(about.findChild<QLabel*>("Label2")->text(), QString("Homepage : "));
    QCOMPARE(about.findChild<QLabel*>("Label1")->text(), QString("Email Address(es) : "));
    QVERIFY(!about.findChild<QLabel*>("Image1")->pixmap().isNull());

    auto* url = about.findChild<QLabel*>("lblUrl");
    QVERIFY(url->font().underline());
    QVERIFY(!url->font().bold());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(url, &enter);
    QVERIFY(url->font().bold());
    QVERIFY(url->font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(url, &leave);
    QVERIFY(!url->font().bold());
    QVERIFY(url->font().underline());

    UrlCatcher files("file");
    QTest::mouseClick(url, Qt::LeftButton);
    QCOMPARE(files.opened.size(), 1);
    QCOMPARE(files.opened[0].toLocalFile(), programFolder + "/README.md");
    QVERIFY(QFileInfo(files.opened[0].toLocalFile()).isFile());

    // No mailbox: the e-mail line says so and is no link.
    auto* email = about.findChild<QLabel*>("lblEmail");
    QVERIFY(!email->text().contains('@'));
    QVERIFY(!email->font().underline());

    const int result = WhileModal(about, [&] { return about.exec(); },
                                  [&] { about.findChild<QPushButton*>("OKButton")->click(); });
    QCOMPARE(result, int(QDialog::Accepted));
}

void DialogsTest::readmeIsFoundBesideTheProgramOrInstalled() {
    QTemporaryDir root;
    const QString buildTree = root.filePath("build"), installed = root.filePath("usr/bin");
    QVERIFY(QDir().mkpath(buildTree) && QDir().mkpath(installed) && QDir().mkpath(root.filePath("usr/share/doc/zr250pro")));
    QCOMPARE(zr::gui::FindReadme(buildTree), QString());  // none: the about box shows no link
    AboutDialog withoutReadme(nullptr, buildTree);
    QVERIFY(!withoutReadme.findChild<QLabel*>("lblUrl")->font().underline());

    for (const QString& readme : {root.filePath("build/README.md"), root.filePath("usr/share/doc/zr250pro/README.md")}) {
        QFile file(readme);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(zr::gui::FindReadme(buildTree), root.filePath("build/README.md"));
    QCOMPARE(zr::gui::FindReadme(installed), root.filePath("usr/share/doc/zr250pro/README.md"));
    // The package's own copy, where a system that leaves out share/doc still has it, comes first.
    QVERIFY(QFile::remove(root.filePath("usr/share/doc/zr250pro/README.md")));
    QVERIFY(QDir().mkpath(root.filePath("usr/share/zr250pro")));
    QFile packaged(root.filePath("usr/share/zr250pro/README.md"));
    QVERIFY(packaged.open(QIODevice::WriteOnly));
    QCOMPARE(zr::gui::FindReadme(installed), root.filePath("usr/share/zr250pro/README.md"));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
