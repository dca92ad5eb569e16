// File > Export Card as PDF... and File > Print...: the pager card of the image the window holds,
// edits included, as a technician files it or hands it to a printer.
#include <QApplication>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "editor_driver.h"
#include "main_window.h"
#include "pdf_text.h"
#include "window_harness.h"

using zr::test::EditorDriver;
using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

// Runs `answer` on the print dialog once `open` has shown it.
void AnswerPrintDialog(const std::function<void()>& open, const std::function<void(QPrintDialog&)>& answer) {
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()); dialog && !answered) {
            answered = true;
            answer(*dialog);
        }
    });
    poll.start(20);
    open();
    QVERIFY(answered);
}

bool CardShows(const std::filesystem::path& pdf, const std::string& text) {
    const auto pages = zr::testing::PdfPages(pdf);
    return pages.size() == 1 && zr::testing::Squeezed(pages[0]).find(text) != std::string::npos;
}

}  // namespace

class CardMenuTest : public QObject {
    Q_OBJECT

private slots:
    void exportCardWritesTheWindowsImageWhereChosen();
    void printSendsTheCardToThePrinter();
};

void CardMenuTest::exportCardWritesTheWindowsImageWhereChosen() {
    MessageRecorder messages;
    StartedWindow started;
    messages.Clear();
    EditorDriver editor(started);
    editor.Entry("edtFreq", "1612125");
    zr::test::FileDialogAnswers dialogs;
    const auto card = started.folder() / "unit 7.pdf";
    dialogs.choices.push_back(card);
    started.Find<QAction>("ExportCard1")->trigger();
    QCOMPARE(dialogs.requests.back().kind, zr::gui::TableFileDialogKind::ExportCard);
    QCOMPARE(dialogs.requests.back().suggested, std::filesystem::path("card.pdf"));
    QVERIFY(CardShows(card, "Frequency 1612125 x 100 Hz"));
    QVERIFY(messages.messages.empty());

    // A read-only file is left as it is, and the technician is told.
    const auto locked = started.folder() / "locked.pdf";
    std::filesystem::copy_file(card, locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    const auto before = std::filesystem::file_size(locked);
    dialogs.choices.push_back(locked);
    started.Find<QAction>("ExportCard1")->trigger();
    QCOMPARE(messages.messages.size(), std::size_t{1});
    QVERIFY(messages.Texts()[0].starts_with("Cannot write " + locked.string()));
    QCOMPARE(std::filesystem::file_size(locked), before);
}

void CardMenuTest::printSendsTheCardToThePrinter() {
    MessageRecorder messages;
    StartedWindow started;
    messages.Clear();
    EditorDriver editor(started);
    editor.Entry("edtFreq", "1612125");
    const auto printed = started.folder() / "printed.pdf";

    // The printer is a PDF file here, as "Print to File" gives it.
    AnswerPrintDialog([&] { started.Find<QAction>("Print1")->trigger(); },
                              [&](QPrintDialog& dialog) {
                                  dialog.printer()->setOutputFileName(QString::fromStdString(printed.string()));
                                  dialog.done(QDialog::Accepted);
                              });
    QVERIFY(CardShows(printed, "Frequency 1612125 x 100 Hz"));

    // Cancel prints nothing.
    std::filesystem::remove(printed);
    AnswerPrintDialog([&] { started.Find<QAction>("Print1")->trigger(); },
                              [&](QPrintDialog& dialog) {
                                  dialog.printer()->setOutputFileName(QString::fromStdString(printed.string()));
                                  dialog.reject();
                              });
    QVERIFY(!std::filesystem::exists(printed));
    QVERIFY(messages.messages.empty());
}

QTEST_MAIN(CardMenuTest)
#include "card_menu_test.moc"
