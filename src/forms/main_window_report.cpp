// File > Print... and File > Export Card as PDF...: the pager card of the image in the window.
#include <QPrintDialog>
#include <QPrinter>

#include "main_window.h"
#include "pager_card.h"
#include "table_file_dialogs.h"

namespace {

zr::report::PageSetup CardSetup() { return {zr::report::LocalePaperSize(), QPageLayout::Portrait}; }

}  // namespace

void MainWindow::Print1Click() {
    if (busy_) return;
    const auto setup = CardSetup();
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(zr::report::LayoutOf(setup));
    printer.setDocName(QStringLiteral("ZR250Pro pager card"));
    QPrintDialog dialog(&printer, this);
    const bool print = dialog.exec() == QDialog::Accepted;
    ReactivateAfterModal();
    if (!print) return;
    const auto source = zr::report::CardSourceOf(image_, cardFile_);
    zr::report::PaintPages(printer, setup, 1, [&](QPainter& painter, int) {
        zr::report::PaintCard(painter, zr::report::PagePoints(setup), source);
    });
}

void MainWindow::ExportCard1Click() {
    if (busy_) return;
    const auto suggested =
        (cardFile_.empty() ? std::filesystem::path("card") : cardFile_.filename().replace_extension()).concat(".pdf");
    const auto target =
        zr::gui::ChooseTableFile(this, zr::gui::TableFileDialogKind::ExportCard, startDirectory_, suggested);
    ReactivateAfterModal();
    if (!target) return;
    if (const auto failure =
            zr::report::WriteCard(*target, zr::report::CardSourceOf(image_, cardFile_), CardSetup().paper))
        ShowMessageBox(zr::StopMessage("Cannot write " + target->string() + ": " + *failure));
}
