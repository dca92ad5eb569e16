// The open and save dialogs of the File menu, behind one seam so that tests can answer them.
#pragma once

#include <QFileDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace zr::gui {

enum class TableFileDialogKind { Open, SaveAs };

// The dialog as the File menu shows it, captioned "Open" or "Save As": table files only, opened in
// `folder`, the extension "tbl" added to a bare name; Open takes only an existing file, Save As asks
// before it replaces one and proposes the file name `suggested` in that folder.
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

}  // namespace zr::gui
