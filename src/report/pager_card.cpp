#include "pager_card.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <string_view>

#include "image_fields.h"
#include "number_text.h"
#include "standard_tones.h"

namespace zr::report {

namespace {

struct Line {
    std::string_view key;
    const char* label;
    const char* unit = "";
};

QString Value(const PagerImage& image, std::string_view key) {
    const ImageField* field = FindImageField(key);
    if (!field) return {};
    const FieldValue value = DecodeField(image, *field);
    if (const bool* on = std::get_if<bool>(&value)) return *on ? QStringLiteral("yes") : QStringLiteral("no");
    if (std::holds_alternative<std::monostate>(value)) return QStringLiteral("none");
    return QString::fromStdString(FieldValueText(value));
}

CardTable LabelTable(const PagerImage& image, const char* title, std::initializer_list<Line> lines) {
    CardTable table{QString::fromUtf8(title), {}, {}};
    for (const auto& line : lines)
        table.rows.push_back({QString::fromUtf8(line.label), Value(image, line.key), QString::fromUtf8(line.unit)});
    return table;
}

QStringList ToneCells(const PagerImage& image, const std::string& key) {
    const ImageField* field = FindImageField(key);
    const std::uint16_t tenths = GetWord16(image, field->offset);
    return {Value(image, key), StandardTonePlace(tenths)};
}

CardTable CallTable(const PagerImage& image) {
    CardTable table{QStringLiteral("CALL"),
                    {QString(), QStringLiteral("ON"), QStringLiteral("TONE1"), QStringLiteral("tone table"),
                     QStringLiteral("TONE2"), QStringLiteral("tone table"), QStringLiteral("Priority Alert"),
                     QStringLiteral("Alert Type"), QStringLiteral("Alert Time")},
                    {}};
    const auto alertCells = [&](const std::string& prefix) {
        return QStringList{Value(image, prefix + "priority"), Value(image, prefix + "alert_type"),
                           Value(image, prefix + "alert_time") + QStringLiteral(" Second")};
    };
    for (int call = 1; call <= 4; ++call) {
        const std::string prefix = "call" + std::to_string(call) + ".";
        QStringList row{QStringLiteral("CALL #%1").arg(call), Value(image, prefix + "on")};
        row << ToneCells(image, prefix + "tone1") << ToneCells(image, prefix + "tone2") << alertCells(prefix);
        table.rows.push_back(row);
    }
    for (int group = 1; group <= 2; ++group) {
        const std::string prefix = "group" + std::to_string(group) + ".";
        QStringList row{QStringLiteral("Group CALL #%1").arg(group), Value(image, prefix + "on")};
        row << ToneCells(image, prefix + "tone") << QString() << QString() << alertCells(prefix);
        table.rows.push_back(row);
    }
    return table;
}

constexpr double kMargin = 42;
constexpr double kLine = 13;
constexpr int kTextPoints = 8;

double PaintTitle(QPainter& painter, double x, double y, double width, const QString& title) {
    painter.setFont(ReportFont(10, true));
    painter.drawText(QPointF(x, y + 11), title);
    painter.setPen(QPen(Qt::gray, 0.5));
    painter.drawLine(QPointF(x, y + 15), QPointF(x + width, y + 15));
    painter.setPen(Qt::black);
    return y + 20;
}

// Draws `text` at `point` within `width`: condensed when it is too wide, cut only as a last resort.
void DrawFitting(QPainter& painter, QPointF point, const QString& text, double width, bool bold = false) {
    QFont font = ReportFont(kTextPoints, bold);
    if (QFontMetricsF(font).horizontalAdvance(text) > width) font.setStretch(QFont::Condensed);
    painter.setFont(font);
    painter.drawText(point, Fitted(font, text, width));
}

// Label, value and unit lines in `columns` columns side by side, each column's values lined up
// after its longest label; returns the y below them.
double PaintLabelTable(QPainter& painter, double x, double y, double width, const CardTable& table, int columns) {
    y = PaintTitle(painter, x, y, width, table.title);
    const QFontMetricsF metrics(ReportFont(kTextPoints)), boldMetrics(ReportFont(kTextPoints, true));
    const double columnWidth = width / columns;
    const auto perColumn = (table.rows.size() + columns - 1) / columns;
    for (std::size_t start = 0; start < table.rows.size(); start += perColumn) {
        const std::size_t end = std::min(table.rows.size(), start + perColumn);
        // A value without a unit (a list item such as "4 sections (30 second)") is shown whole; a
        // long label gives way to it and is condensed instead.
        double labelWidth = 0, plainValueWidth = 0;
        for (std::size_t i = start; i < end; ++i) {
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(table.rows[i][0]));
            if (table.rows[i][2].isEmpty())
                plainValueWidth = std::max(plainValueWidth, boldMetrics.horizontalAdvance(table.rows[i][1]) + 8);
        }
        labelWidth = std::clamp(std::min(labelWidth + 10, columnWidth - plainValueWidth - 10), columnWidth * 0.2,
                                columnWidth * 0.68);
        const double left = x + columnWidth * static_cast<double>(start / perColumn);
        for (std::size_t i = start; i < end; ++i) {
            const auto& row = table.rows[i];
            const double baseline = y + kLine * static_cast<double>(i - start) + 9;
            DrawFitting(painter, QPointF(left, baseline), row[0], labelWidth - 6);
            const double valueLeft = left + labelWidth, room = columnWidth - labelWidth - 10;
            const double valueWidth =
                row[2].isEmpty() ? room : std::min(room, std::max(metrics.horizontalAdvance(row[1]) * 1.1 + 6, 46.0));
            DrawFitting(painter, QPointF(valueLeft, baseline), row[1], valueWidth - 4, true);
            if (!row[2].isEmpty())
                DrawFitting(painter, QPointF(valueLeft + valueWidth, baseline), row[2], room - valueWidth);
        }
    }
    return y + kLine * static_cast<double>(perColumn) + 8;
}

double PaintGrid(QPainter& painter, double x, double y, double width, const CardTable& table) {
    y = PaintTitle(painter, x, y, width, table.title);
    static constexpr double kShares[] = {0.15, 0.06, 0.09, 0.12, 0.09, 0.12, 0.13, 0.11, 0.13};
    const QFont font = ReportFont(kTextPoints), bold = ReportFont(kTextPoints, true);
    const auto paintRow = [&](const QStringList& cells, double baseline, bool header) {
        double left = x;
        for (int c = 0; c < cells.size(); ++c) {
            const double cell = width * kShares[c];
            const QFont& face = header || c == 0 ? bold : font;
            painter.setFont(face);
            painter.drawText(QPointF(left, baseline), Fitted(face, cells[c], cell - 4));
            left += cell;
        }
    };
    paintRow(table.header, y + 9, true);
    y += kLine + 2;
    for (const auto& row : table.rows) {
        paintRow(row, y + 9, false);
        y += kLine;
    }
    return y + 8;
}

}  // namespace

QString StandardTonePlace(std::uint16_t tenths) {
    for (const auto& group : kStandardToneTable)
        for (std::size_t digit = 0; digit < group.tenths.size(); ++digit)
            if (group.tenths[digit] == tenths) {
                const auto header = QString::fromUtf8(group.header.data(), static_cast<qsizetype>(group.header.size()));
                return QStringLiteral("%1, %2").arg(header.trimmed()).arg(digit);
            }
    return QStringLiteral("off-standard");
}

std::vector<CardTable> CardTables(const PagerImage& image) {
    const bool checksumRight = HasValidChecksum(image);
    CardTable identity = LabelTable(image, "Pager",
                                    {{"frequency", "Frequency", "x 100 Hz"},
                                     {"band", "Range Of Frequency"},
                                     {"spacing", "Channel Space"},
                                     {"firmware", "Version"},
                                     {"tag", "Tag"},
                                     {"checksum", "Checksum"}});
    identity.rows.back()[2] = checksumRight ? QStringLiteral("right")
                                            : QStringLiteral("wrong (the bytes sum to %1)")
                                                  .arg(QString::number(ImageChecksum(image), 16).toUpper(), 4, '0');
    return {
        identity,
        CallTable(image),
        LabelTable(image, "Setting",
                   {{"disable_power_off", "Disable Power OFF"},
                    {"disable_vibration", "Disable vibration mode"},
                    {"power_save_disable", "Power Save Disable"},
                    {"fix_alert", "FIX Alert"},
                    {"priority_max_volume", "Priority Max. Volume Level"},
                    {"narrowband", "Narrowband Enable"},
                    {"reset_control", "Reset control"},
                    {"reset_delay", "Delay Time", "Second"},
                    {"carrier_off_delay", "Carrier OFF delay", "x 150 ms"},
                    {"squelch_level", "Squelch Level"},
                    {"reminder", "Reminder"},
                    {"privacy", "Privacy Enable"},
                    {"low_battery", "Low Battery"},
                    {"push_to_listen", "Push To Listen"},
                    {"auto_monitor", "Auto Monitor key time", "Second"},
                    {"audio_lock_on", "Audio lock on"},
                    {"audio_lock", "Audio lock on key time", "Second"},
                    {"save_voice", "Save voice"},
                    {"record_sections", "Record Section"},
                    {"squelch_record", "Enable Squelch Control Record Method"},
                    {"full_time_auto_monitor", "Full Time Auto Monitor"},
                    {"standby_delay", "Standby To Monitor Delay Time", "seconds"}}),
        LabelTable(image, "Config",
                   {{"battery_save", "Battery Save", "x 10 ms"},
                    {"ad_delay", "AD Delay", "ms"},
                    {"tone1_duration", "Tone1 duration", "x 100 ms"},
                    {"tone2_duration", "Tone2 duration", "x 100 ms"},
                    {"nrssi", "NRSSI", "V"},
                    {"speaker_off", "Speaker OFF", "V"},
                    {"speaker_on", "Speaker ON (NRSSI)", "V"}}),
        LabelTable(image, "Advance Setting",
                   {{"plln", "PLLN"},
                    {"pllr", "PLLR"},
                    {"spacing_code", "Channel spacing code"},
                    {"rf_delay", "RF delay time", "ms"},
                    {"tone1_limit", "Tone1 limit", "x 100 ms"},
                    {"tone2_limit", "Tone2 limit", "x 100 ms"},
                    {"noise_limit", "Noise limit", "x 100 ms"},
                    {"decoder_reset", "Decorder Reset", "Second"},
                    {"decoder_bandwidth", "Decoder Bandwidth", "+/- %"},
                    {"gap_max", "Gap MAX.", "x 100 ms"},
                    {"group_call_duration", "Group call duration", "x 100 ms"},
                    {"low_battery_reminder", "Low Battery Remainder"}}),
    };
}

void PaintCard(QPainter& painter, const QSizeF& page, const CardSource& source) {
    const double x = kMargin, width = page.width() - 2 * kMargin;
    double y = kMargin;
    painter.setPen(Qt::black);
    painter.setFont(ReportFont(16, true));
    painter.drawText(QPointF(x, y + 16), QStringLiteral("ZR250Pro pager card"));
    painter.setFont(ReportFont(kTextPoints));
    const QString file = QStringLiteral("Table file: %1").arg(source.fileName.isEmpty() ? QStringLiteral("(none)") : source.fileName);
    painter.drawText(QPointF(x, y + 32), Fitted(painter.font(), file, width));
    if (!source.fileDate.isEmpty()) painter.drawText(QPointF(x, y + 44), QStringLiteral("Saved: %1").arg(source.fileDate));
    y += 56;

    const auto tables = CardTables(source.image);
    y = PaintLabelTable(painter, x, y, width, tables[0], 2);
    y = PaintGrid(painter, x, y, width, tables[1]);
    y = PaintLabelTable(painter, x, y, width, tables[2], 2);
    const double half = (width - 16) / 2;
    const double below = std::max(PaintLabelTable(painter, x, y, half, tables[3], 1),
                                  PaintLabelTable(painter, x + half + 16, y, half, tables[4], 1));
    y = std::max(below + 24, page.height() - kMargin - 60);

    y = PaintTitle(painter, x, y, width, QStringLiteral("Programmed by"));
    painter.setFont(ReportFont(9));
    const double third = width / 3;
    const char* blanks[] = {"Technician", "Signature", "Date"};
    for (int i = 0; i < 3; ++i) {
        const double left = x + third * i;
        painter.drawText(QPointF(left, y + 30), QString::fromUtf8(blanks[i]));
        painter.setPen(QPen(Qt::black, 0.5));
        painter.drawLine(QPointF(left, y + 20), QPointF(left + third - 16, y + 20));
        painter.setPen(Qt::black);
    }
}

CardSource CardSourceOf(const PagerImage& image, const std::filesystem::path& file) {
    CardSource source{image, QString::fromStdString(file.filename().string()), {}};
    const QFileInfo info(QString::fromStdString(file.string()));
    if (info.exists()) source.fileDate = info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return source;
}

std::optional<std::string> WriteCard(const std::filesystem::path& path, const CardSource& source, PaperSize paper) {
    const PageSetup setup{paper, QPageLayout::Portrait};
    const auto paint = [&](QPainter& painter, int) { PaintCard(painter, PagePoints(setup), source); };
    if (QString::fromStdString(path.extension().string()).compare(QStringLiteral(".png"), Qt::CaseInsensitive) == 0)
        return WritePng(path, setup, paint);
    return WritePdf(path, setup, 1, paint, QStringLiteral("ZR250Pro pager card"));
}

}  // namespace zr::report
