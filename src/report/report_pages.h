// Pages painted in points (1/72 inch), the same painting for a PDF, an image and a printer.
#pragma once

#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zr::report {

enum class PaperSize { A4, Letter };

// Letter where the locale measures in inches, A4 elsewhere.
PaperSize LocalePaperSize();
// "A4" or "Letter", in any case; nothing for any other name.
std::optional<PaperSize> PaperSizeNamed(std::string_view name);

struct PageSetup {
    PaperSize paper = PaperSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};
QPageLayout LayoutOf(const PageSetup& setup);
// The page's size in points.
QSizeF PagePoints(const PageSetup& setup);

// Paints page `index` (from 0) in points; the painter's origin is the paper's corner.
using PagePainter = std::function<void(QPainter& painter, int index)>;

// Paints `pages` pages onto a paged device whose paint area is the whole sheet (a PDF writer
// without margins, a full-page printer).
void PaintPages(QPagedPaintDevice& device, const PageSetup& setup, int pages, const PagePainter& paint);

// Writes the pages as a PDF, or the first page as a PNG image at `dpi`, with the safety of a save.
// Returns the reason when the file could not be written.
std::optional<std::string> WritePdf(const std::filesystem::path& path, const PageSetup& setup, int pages,
                                    const PagePainter& paint, const QString& title);
std::optional<std::string> WritePng(const std::filesystem::path& path, const PageSetup& setup, const PagePainter& paint,
                                    int dpi = 150);

// The reports' one typeface, sized in points.
QFont ReportFont(double points, bool bold = false);

// `text` cut with an ellipsis to fit `width` points in `font`.
QString Fitted(const QFont& font, const QString& text, double width);

}  // namespace zr::report
