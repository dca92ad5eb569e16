// A pager card: one page that records what a pager is set to, filed with the station's equipment
// records. Its labels are the window's and its values those the window shows after File > Open.
#pragma once

#include <QPainter>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "pager_image.h"
#include "report_pages.h"

namespace zr::report {

// A titled table of the card: label, value and unit lines, or the call grid with its header.
struct CardTable {
    QString title;
    QStringList header;
    std::vector<QStringList> rows;
};

struct CardSource {
    PagerImage image;       // as the window holds it after File > Open
    QString fileName;
    QString fileDate;       // the file's time of last change, as text
};

// Where a tone stands in the standard tone table, as the tone table window shows it ("Mot 2, 3":
// group header and digit), or "off-standard".
QString StandardTonePlace(std::uint16_t tenths);

// The card's tables: the identity, then the window's four pages.
std::vector<CardTable> CardTables(const PagerImage& image);

// The card of the image the window holds, with the name and date of the table file it came from.
CardSource CardSourceOf(const PagerImage& image, const std::filesystem::path& file);

void PaintCard(QPainter& painter, const QSizeF& page, const CardSource& source);

// The card as a PDF, or as a PNG image when `path` ends in ".png". Returns the reason it failed.
std::optional<std::string> WriteCard(const std::filesystem::path& path, const CardSource& source, PaperSize paper);

}  // namespace zr::report
