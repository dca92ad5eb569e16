#include "tone_plan_chart.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "decoder_bandwidth.h"
#include "number_text.h"
#include "report_pages.h"
#include "standard_tones.h"

namespace zr::report {

namespace {

// The axis runs a little beyond the standard table so that the outermost bands are whole.
constexpr double kAxisLowHz = kLowestStandardTone / 10.0 * 0.95;
constexpr double kAxisHighHz = kHighestStandardTone / 10.0 * 1.05;
constexpr double kRowHeight = 9;
constexpr double kAxisHeight = 22;
constexpr double kNameWidth = 90;
const QColor kMarked(200, 30, 30);

// One switched-on tone of a unit, a band as wide as the unit's decoder bandwidth either way.
struct ToneBand {
    std::size_t slot = 0;
    double hz = 0;
    double percent = 0;  // 0 when the bandwidth byte selects none
};

std::vector<ToneBand> SwitchedOnBands(const PagerImage& image) {
    const double percent = DecoderBandwidthPercent(image).value_or(0);
    std::vector<ToneBand> bands;
    for (std::size_t slot = 1; slot <= kToneSlots; ++slot) {
        const ToneField field = ToneFieldOfSlot(slot);
        if (ToneSwitchedOn(image, field)) bands.push_back({slot, ToneTenths(image, field) / 10.0, percent});
    }
    return bands;
}

double Low(const ToneBand& band) { return band.hz * (1 - band.percent / 100); }
double High(const ToneBand& band) { return band.hz * (1 + band.percent / 100); }

// Each tone's mark: the number in the problem list (from 1) of the first problem it is in.
std::map<std::pair<std::size_t, std::size_t>, std::size_t> ProblemNumbers(const std::vector<PlanProblem>& problems) {
    std::map<std::pair<std::size_t, std::size_t>, std::size_t> numbers;
    for (std::size_t i = 0; i < problems.size(); ++i)
        for (const auto& tone : problems[i].tones) numbers.try_emplace({tone.unit, ToneSlot(tone.field)}, i + 1);
    return numbers;
}

double AxisX(const QRectF& plot, double hz) {
    const double share = std::log(hz / kAxisLowHz) / std::log(kAxisHighHz / kAxisLowHz);
    return plot.left() + plot.width() * std::clamp(share, 0.0, 1.0);
}

}  // namespace

std::size_t ChartRowsFitting(double height) {
    return static_cast<std::size_t>(std::max(0.0, (height - 2 * kAxisHeight) / kRowHeight));
}

double ChartHeight(std::size_t rows) { return 2 * kAxisHeight + static_cast<double>(rows) * kRowHeight; }

void PaintTonePlanChart(QPainter& painter, const QRectF& area, const std::vector<UnitImage>& units,
                        const std::vector<PlanProblem>& problems, std::size_t first, std::size_t count) {
    const std::size_t last = std::min(units.size(), first + count);
    const double rows = static_cast<double>(last - first);
    const QRectF plot(area.left() + kNameWidth, area.top() + kAxisHeight, area.width() - kNameWidth - 4,
                      rows * kRowHeight);
    const QFont small = ReportFont(7);
    painter.setFont(small);

    // The standard tones as faint lines, the axis labelled in hertz at the top and the bottom.
    painter.setPen(QPen(QColor(225, 225, 225), 0.4));
    for (const auto tone : kSortedStandardTones) {
        const double x = AxisX(plot, tone / 10.0);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    static constexpr int kTicks[] = {300, 400, 500, 600, 700, 800, 1000, 1200, 1500, 2000, 2500};
    for (const int hz : kTicks) {
        const double x = AxisX(plot, hz);
        painter.setPen(QPen(Qt::gray, 0.5));
        painter.drawLine(QPointF(x, plot.top() - 3), QPointF(x, plot.bottom() + 3));
        painter.setPen(Qt::black);
        const QString label = QString::number(hz) + (hz == 300 ? QStringLiteral(" Hz") : QString());
        const double w = QFontMetricsF(small).horizontalAdvance(label);
        painter.drawText(QPointF(x - w / 2, plot.top() - 6), label);
        painter.drawText(QPointF(x - w / 2, plot.bottom() + 12), label);
    }

    // Only the rows in view are painted: a fleet of thousands scrolls in the window.
    std::size_t from = first, to = last;
    if (painter.hasClipping()) {
        const QRectF view = painter.clipBoundingRect();
        const auto row = [&](double y) {
            return first + static_cast<std::size_t>(std::clamp((y - plot.top()) / kRowHeight, 0.0, rows));
        };
        from = row(view.top());
        to = std::min(last, row(view.bottom()) + 1);
    }
    const auto numbers = ProblemNumbers(problems);
    for (std::size_t u = from; u < to; ++u) {
        const double top = plot.top() + static_cast<double>(u - first) * kRowHeight;
        if ((u - first) % 2 == 1) painter.fillRect(QRectF(area.left(), top, area.width(), kRowHeight), QColor(246, 246, 246));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), top, kNameWidth - 6, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         Fitted(small, QString::fromStdString(units[u].name), kNameWidth - 6));
        std::map<std::size_t, double> labels;  // each problem's number once a row, right of its last band
        for (const auto& band : SwitchedOnBands(units[u].image)) {
            double left = AxisX(plot, Low(band)), right = AxisX(plot, High(band));
            if (right - left < 1.5) left -= 0.75, right += 0.75;  // a narrow decoder still shows
            const auto mark = numbers.find({u, band.slot});
            const bool marked = mark != numbers.end();
            painter.setPen(marked ? QPen(Qt::black, 0.6) : Qt::NoPen);
            painter.setBrush(marked ? kMarked : QColor(40, 90, 170));
            painter.drawRect(QRectF(left, top + 1.5, right - left, kRowHeight - 3));
            if (marked) labels[mark->second] = std::max(labels[mark->second], right);
        }
        painter.setPen(kMarked);
        for (const auto& [number, right] : labels)
            painter.drawText(QPointF(right + 2, top + kRowHeight - 2), QStringLiteral("#%1").arg(number));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawRect(plot);
}

}  // namespace zr::report
