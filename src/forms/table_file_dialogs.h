// The open and save dialogs of the File menu, behind one seam so that tests can answer them.
#pragma once

#include <QFileDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace zr::gui {

enum class TableFileDialogKind { Open, SaveAs, ExportCard };

// The dialog as the File menu shows it, captioned "Open" or "Save As": table files only, opened in
// `folder`, the extension "tbl" added to a bare name; Open takes only an existing file, Save As asks
// before it replaces one and proposes the file name `suggested` in that folder. Export Card is the
// same save dialog for the pager card's PDF.
std::unique_ptr<QFileDialog> MakeTableFileDialog(QWidget* parent, TableFileDialogKind kind,
                                                 const std::filesystem::path& folder,
                                                 const std::filesystem::path& suggested = {});

// Shows the dialog and returns the chosen file; nothing when the user cancels.
std::optional<std::filesystem::path> ChooseTableFile(QWidget* parent, TableFileDialogKind kind,
                                                     const std::filesystem::path& folder,
                                                     const std::filesystem::path& suggested = {});

using TableFileDialogHandler = std::function<std::optional<std::filesystem::path>(
    TableFileDialogKind kind, const std::filesystem::path& folder, const std::filesystem::path& suggested)>;

// Replaces the dialogs; an empty handler restores the real ones. Returns the handler in force.
TableFileDialogHandler SetTableFileDialogHandler(TableFileDialogHandler handler);

// A path as Qt names files and back, through UTF-16, so that every name survives on Windows, whose
// paths are UTF-16, as well as elsewhere.
// Text of the core (UTF-8) as the window shows it.
QString ToQString(std::string_view text);
std::filesystem::path PathFromQString(const QString& text);
QString QStringFromPath(const std::filesystem::path& path);

}  // namespace zr::gui
