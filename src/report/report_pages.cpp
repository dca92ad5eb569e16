#include "report_pages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPdfWriter>

#include <algorithm>
#include <cctype>
#include <span>

#include "safe_save.h"

namespace zr::report {

PaperSize LocalePaperSize() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? PaperSize::Letter : PaperSize::A4;
}

std::optional<PaperSize> PaperSizeNamed(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "a4") return PaperSize::A4;
    if (lower == "letter") return PaperSize::Letter;
    return std::nullopt;
}

QPageLayout LayoutOf(const PageSetup& setup) {
    const QPageSize size(setup.paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4);
    return QPageLayout(size, setup.orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

QSizeF PagePoints(const PageSetup& setup) { return LayoutOf(setup).fullRect(QPageLayout::Point).size(); }

namespace {

void PaintPage(QPainter& painter, const QPaintDevice& device, const PageSetup& setup, int index,
               const PagePainter& paint) {
    painter.save();
    const double scale = device.width() / PagePoints(setup).width();
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, index);
    painter.restore();
}

std::optional<std::string> SaveBytes(const std::filesystem::path& path, const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return files::SaveFileSafely(path, std::span(data, static_cast<std::size_t>(bytes.size())), files::Backup::None);
}

}  // namespace

void PaintPages(QPagedPaintDevice& device, const PageSetup& setup, int pages, const PagePainter& paint) {
    QPainter painter(&device);
    for (int index = 0; index < pages; ++index) {
        if (index > 0) device.newPage();
        PaintPage(painter, device, setup, index, paint);
    }
}

std::optional<std::string> WritePdf(const std::filesystem::path& path, const PageSetup& setup, int pages,
                                    const PagePainter& paint, const QString& title) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageLayout(LayoutOf(setup));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("ZR250Pro"));
        PaintPages(writer, setup, pages, paint);
    }
    return SaveBytes(path, bytes);
}

std::optional<std::string> WritePng(const std::filesystem::path& path, const PageSetup& setup, const PagePainter& paint,
                                    int dpi) {
    const QSizeF points = PagePoints(setup);
    QImage image((points * dpi / 72.0).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintPage(painter, image, setup, 0, paint);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::string("the image could not be encoded");
    return SaveBytes(path, bytes);
}

QFont ReportFont(double points, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    // No ligatures: a "ﬁ" on paper is a "fi" that no search of the PDF finds.
    font.setStyleStrategy(QFont::PreferNoShaping);
    // Sized in the painter's units, which are points: the same on paper at every resolution.
    font.setPixelSize(std::max(1, static_cast<int>(points + 0.5)));
    font.setBold(bold);
    return font;
}

QString Fitted(const QFont& font, const QString& text, double width) {
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

}  // namespace zr::report
