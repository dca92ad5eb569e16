#include "table_file_dialogs.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include "table_files.h"

namespace zr::gui {

namespace {

TableFileDialogHandler& CurrentHandler() {
    static TableFileDialogHandler handler;
    return handler;
}


}  // namespace

std::unique_ptr<QFileDialog> MakeTableFileDialog(QWidget* parent, TableFileDialogKind kind,
                                                 const std::filesystem::path& folder,
                                                 const std::filesystem::path& suggested) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    const bool card = kind == TableFileDialogKind::ExportCard;
    dialog->setNameFilters(QStringList{card ? QStringLiteral("PDF files (*.pdf)") : ToQString(kTableFileFilter)});
    dialog->setDefaultSuffix(card ? QStringLiteral("pdf") : ToQString(kTableFileExtension));
    dialog->setDirectory(QStringFromPath(folder));
    if (kind == TableFileDialogKind::Open) {
        dialog->setWindowTitle(QStringLiteral("Open"));
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog->setWindowTitle(card ? QStringLiteral("Export Card as PDF") : QStringLiteral("Save As"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
        if (!suggested.empty()) dialog->selectFile(QStringFromPath(folder / suggested));
    }
    return dialog;
}

std::optional<std::filesystem::path> ChooseTableFile(QWidget* parent, TableFileDialogKind kind,
                                                     const std::filesystem::path& folder,
                                                     const std::filesystem::path& suggested) {
    if (CurrentHandler()) return CurrentHandler()(kind, folder, suggested);
    auto dialog = MakeTableFileDialog(parent, kind, folder, suggested);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    return PathFromQString(dialog->selectedFiles().constFirst());
}

TableFileDialogHandler SetTableFileDialogHandler(TableFileDialogHandler handler) {
    TableFileDialogHandler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::filesystem::path PathFromQString(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

QString QStringFromPath(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace zr::gui
