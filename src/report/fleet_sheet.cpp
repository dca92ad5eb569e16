#include "fleet_sheet.h"

#include <QFontMetricsF>

#include <algorithm>
#include <utility>

#include "decoder_bandwidth.h"
#include "number_text.h"

namespace zr::report {

namespace {

constexpr double kMargin = 36;
constexpr double kHeadHeight = 40;
constexpr double kRowHeight = 11.5;
constexpr int kTextPoints = 8;
// Shares of the table's width: unit, four calls, two groups, bandwidth, outcome, date.
constexpr double kShares[] = {0.14, 0.095, 0.095, 0.095, 0.095, 0.065, 0.065, 0.08, 0.09, 0.16};

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Greedy word wrap of `text` to `width` points; a word longer than a line is cut with an ellipsis.
std::vector<QString> Wrapped(const QFont& font, const QString& text, double width, const QString& indent) {
    const QFontMetricsF metrics(font);
    std::vector<QString> lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
            line = candidate;
            continue;
        }
        lines.push_back(Fitted(font, line, width));
        line = indent + word;
    }
    if (!line.isEmpty()) lines.push_back(Fitted(font, line, width));
    return lines;
}

QString LogDate(const std::string& time) {
    QString date = Text(time.substr(0, 16));
    return date.replace(QLatin1Char('T'), QLatin1Char(' '));
}

}  // namespace

FleetSheet::FleetSheet(QString title, CheckedFleet fleet, std::optional<std::map<std::string, LoggedWrite>> log,
                       PaperSize paper)
    : title_(std::move(title)), fleet_(std::move(fleet)), log_(std::move(log)),
      setup_{paper, QPageLayout::Landscape} {
    PlanPages();
}

QStringList FleetSheet::Header() const {
    return {QStringLiteral("Unit"),     QStringLiteral("Call 1"),   QStringLiteral("Call 2"),
            QStringLiteral("Call 3"),   QStringLiteral("Call 4"),   QStringLiteral("Group 1"),
            QStringLiteral("Group 2"),  QStringLiteral("Bandwidth"), QStringLiteral("Write"),
            QStringLiteral("Written at")};
}

QStringList FleetSheet::Row(std::size_t unit) const {
    const UnitImage& u = fleet_.units[unit];
    QStringList row{Text(u.name)};
    for (unsigned call = 1; call <= 4; ++call) row << Text(CallTonesText(u.image, call));
    for (unsigned group = 1; group <= 2; ++group) row << Text(GroupToneText(u.image, group));
    const auto percent = DecoderBandwidthPercent(u.image);
    row << (percent ? QStringLiteral("\u00b1%1 %").arg(Text(FormatFixed(*percent, 1))) : QStringLiteral("none"));
    if (!log_) return row << QString() << QString();
    const auto found = log_->find(u.name);
    if (found == log_->end()) return row << QStringLiteral("not in log") << QString();
    return row << Text(found->second.outcome) << LogDate(found->second.time);
}

void FleetSheet::PlanPages() {
    const QSizeF page = PagePoints(setup_);
    const double body = page.height() - 2 * kMargin - kHeadHeight;
    const double width = page.width() - 2 * kMargin;

    const auto tableRows = std::max<std::size_t>(1, static_cast<std::size_t>(body / kRowHeight) - 1);
    std::size_t first = 0;
    do {  // an empty fleet still gets its table's header
        pages_.push_back({PageKind::Table, first, std::min(tableRows, fleet_.units.size() - first)});
        first += tableRows;
    } while (first < fleet_.units.size());
    const std::size_t chartRows = std::max<std::size_t>(1, ChartRowsFitting(body));
    for (first = 0; first < fleet_.units.size(); first += chartRows)
        pages_.push_back({PageKind::Chart, first, std::min(chartRows, fleet_.units.size() - first)});

    const QFont font = ReportFont(kTextPoints);
    const auto add = [&](const QString& text) {
        for (auto& line : Wrapped(font, text, width, QStringLiteral("    "))) notes_.push_back(line);
    };
    notes_.push_back(QStringLiteral("\x01Tone plan check"));
    if (fleet_.problems.empty()) add(QStringLiteral("No problems."));
    // Numbered as the chart marks the tones of each problem.
    for (std::size_t i = 0; i < fleet_.problems.size(); ++i)
        add(QStringLiteral("#%1  ").arg(i + 1) + Text(fleet_.problems[i].text));
    for (const auto& unit : fleet_.units)
        for (const auto& cell : unit.refusals)
            add(QStringLiteral("\u2022 %1: %2 \"%3\" refused (roster line %4)")
                    .arg(Text(unit.name), Text(cell.key), Text(cell.value))
                    .arg(cell.line));
    const auto noteLines = std::max<std::size_t>(1, static_cast<std::size_t>(body / kRowHeight));
    for (first = 0; first < notes_.size(); first += noteLines)
        pages_.push_back({PageKind::Notes, first, std::min(noteLines, notes_.size() - first)});
}

double FleetSheet::PaintPageHead(QPainter& painter, int index, const QString& heading) const {
    const QSizeF page = PagePoints(setup_);
    const double width = page.width() - 2 * kMargin;
    painter.setPen(Qt::black);
    painter.setFont(ReportFont(13, true));
    painter.drawText(QPointF(kMargin, kMargin + 12), QStringLiteral("ZR250Pro fleet sheet"));
    painter.setFont(ReportFont(kTextPoints));
    const QString right = QStringLiteral("%1 units \u2014 page %2 of %3")
                              .arg(fleet_.units.size())
                              .arg(index + 1)
                              .arg(PageCount());
    const double rightWidth = QFontMetricsF(painter.font()).horizontalAdvance(right);
    painter.drawText(QPointF(kMargin + width - rightWidth, kMargin + 12), right);
    painter.drawText(QPointF(kMargin, kMargin + 26), Fitted(painter.font(), title_ + QStringLiteral(" \u2014 ") + heading,
                                                           width));
    painter.setPen(QPen(Qt::gray, 0.5));
    painter.drawLine(QPointF(kMargin, kMargin + 31), QPointF(kMargin + width, kMargin + 31));
    painter.setPen(Qt::black);
    return kMargin + kHeadHeight;
}

void FleetSheet::PaintPage(QPainter& painter, int index) const {
    const Page& page = pages_.at(static_cast<std::size_t>(index));
    const QSizeF size = PagePoints(setup_);
    const double width = size.width() - 2 * kMargin;
    switch (page.kind) {
        case PageKind::Table: {
            double y = PaintPageHead(painter, index, QStringLiteral("units"));
            const QFont font = ReportFont(kTextPoints), bold = ReportFont(kTextPoints, true);
            const auto paintRow = [&](const QStringList& cells, const QFont& face) {
                double left = kMargin;
                painter.setFont(face);
                for (int c = 0; c < cells.size(); ++c) {
                    const double cell = width * kShares[c];
                    painter.drawText(QRectF(left, y, cell - 4, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                                     Fitted(face, cells[c], cell - 4));
                    left += cell;
                }
                y += kRowHeight;
            };
            paintRow(Header(), bold);
            painter.setPen(QPen(Qt::gray, 0.5));
            painter.drawLine(QPointF(kMargin, y), QPointF(kMargin + width, y));
            painter.setPen(Qt::black);
            for (std::size_t u = page.first; u < page.first + page.count; ++u) {
                if ((u - page.first) % 2 == 1) painter.fillRect(QRectF(kMargin, y, width, kRowHeight), QColor(244, 244, 244));
                paintRow(Row(u), font);
            }
            break;
        }
        case PageKind::Chart: {
            const double y = PaintPageHead(painter, index,
                                           QStringLiteral("tone plan chart, units %1 to %2 (bands \u00b1 decoder "
                                                          "bandwidth; red #n: a tone of tone plan problem n)")
                                               .arg(page.first + 1)
                                               .arg(page.first + page.count));
            PaintTonePlanChart(painter, QRectF(kMargin, y, width, size.height() - kMargin - y), fleet_.units,
                               fleet_.problems, page.first, page.count);
            break;
        }
        case PageKind::Notes: {
            double y = PaintPageHead(painter, index, QStringLiteral("tone plan problems"));
            for (std::size_t i = page.first; i < page.first + page.count; ++i) {
                QString line = notes_[i];
                const bool heading = line.startsWith(QLatin1Char('\x01'));
                if (heading) line.remove(0, 1);
                painter.setFont(ReportFont(heading ? 10 : kTextPoints, heading));
                painter.drawText(QRectF(kMargin, y, width, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
                y += kRowHeight;
            }
            break;
        }
    }
}

std::optional<std::string> FleetSheet::WritePdf(const std::filesystem::path& path) const {
    return report::WritePdf(
        path, setup_, PageCount(), [this](QPainter& painter, int index) { PaintPage(painter, index); },
        QStringLiteral("ZR250Pro fleet sheet"));
}

}  // namespace zr::report
