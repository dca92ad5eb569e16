#include "tone_plan_chart.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "decoder_bandwidth.h"
#include "image_fields.h"
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

bool FieldOn(const PagerImage& image, const std::string& key) {
    const FieldValue value = DecodeField(image, *FindImageField(key));
    const bool* on = std::get_if<bool>(&value);
    return on && *on;
}

double ToneHz(const PagerImage& image, const std::string& key) {
    return GetWord16(image, FindImageField(key)->offset) / 10.0;
}

double Low(const ToneBand& band) { return band.hz * (1 - band.percent / 100); }
double High(const ToneBand& band) { return band.hz * (1 + band.percent / 100); }

// Two bands overlap when an edge of one lies within the other, judged by the decoder's own rule.
bool BandsOverlap(const ToneBand& a, const ToneBand& b) {
    return ToneWithinBandwidth(Low(a), b.hz, b.percent) || ToneWithinBandwidth(High(a), b.hz, b.percent) ||
           ToneWithinBandwidth(Low(b), a.hz, a.percent) || ToneWithinBandwidth(High(b), a.hz, a.percent);
}

double AxisX(const QRectF& plot, double hz) {
    const double share = std::log(hz / kAxisLowHz) / std::log(kAxisHighHz / kAxisLowHz);
    return plot.left() + plot.width() * std::clamp(share, 0.0, 1.0);
}

}  // namespace

std::vector<ToneBand> SwitchedOnBands(const std::vector<UnitImage>& units) {
    std::vector<ToneBand> bands;
    for (std::size_t u = 0; u < units.size(); ++u) {
        const PagerImage& image = units[u].image;
        const double percent = DecoderBandwidthPercent(image).value_or(0);
        for (int call = 1; call <= 4; ++call) {
            const std::string prefix = "call" + std::to_string(call) + ".";
            if (!FieldOn(image, prefix + "on")) continue;
            for (int tone = 1; tone <= 2; ++tone)
                bands.push_back({u, "call " + std::to_string(call) + " tone " + std::to_string(tone),
                                 ToneHz(image, prefix + "tone" + std::to_string(tone)), percent});
        }
        for (int group = 1; group <= 2; ++group) {
            const std::string prefix = "group" + std::to_string(group) + ".";
            if (FieldOn(image, prefix + "on"))
                bands.push_back({u, "group " + std::to_string(group), ToneHz(image, prefix + "tone"), percent});
        }
    }
    return bands;
}

std::vector<BandOverlap> FindOverlaps(const std::vector<UnitImage>& units) {
    auto bands = SwitchedOnBands(units);
    std::sort(bands.begin(), bands.end(), [](const ToneBand& a, const ToneBand& b) { return Low(a) < Low(b); });
    // Swept by lower edge: a band meets only those that start before it ends.
    std::vector<BandOverlap> overlaps;
    for (std::size_t i = 0; i < bands.size(); ++i)
        for (std::size_t j = i + 1; j < bands.size() && Low(bands[j]) <= High(bands[i]); ++j)
            if (bands[i].unit != bands[j].unit && bands[i].hz != bands[j].hz && BandsOverlap(bands[i], bands[j]))
                overlaps.push_back(bands[i].hz < bands[j].hz ? BandOverlap{bands[i], bands[j]}
                                                              : BandOverlap{bands[j], bands[i]});
    return overlaps;
}

std::vector<OverlapGroup> GroupOverlaps(const std::vector<BandOverlap>& overlaps) {
    std::vector<OverlapGroup> groups;
    std::map<std::pair<std::size_t, double>, std::size_t> index;
    for (const auto& overlap : overlaps) {
        const auto [at, added] = index.try_emplace({overlap.first.unit, overlap.first.hz}, groups.size());
        if (added) groups.push_back({overlap.first, {}});
        groups[at->second].others.push_back(overlap.second);
    }
    return groups;
}

std::string DescribeOverlapGroup(const std::vector<UnitImage>& units, const OverlapGroup& group) {
    const auto side = [&](const ToneBand& band) {
        return units[band.unit].name + " " + band.role + " " + FormatFixed(band.hz, 1) + " Hz \u00b1" +
               FormatFixed(band.percent, 1) + " %";
    };
    std::string text = side(group.band) + " overlaps ";
    for (std::size_t i = 0; i < group.others.size(); ++i) text += (i ? ", " : "") + side(group.others[i]);
    return text;
}

std::size_t ChartRowsFitting(double height) {
    return static_cast<std::size_t>(std::max(0.0, (height - 2 * kAxisHeight) / kRowHeight));
}

double ChartHeight(std::size_t rows) { return 2 * kAxisHeight + static_cast<double>(rows) * kRowHeight; }

void PaintTonePlanChart(QPainter& painter, const QRectF& area, const std::vector<UnitImage>& units,
                        const std::vector<BandOverlap>& overlaps, std::size_t first, std::size_t count) {
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

    // Each overlapping band carries the number of its first group in the sheet's list.
    std::map<std::pair<std::size_t, double>, std::size_t> marked;
    const auto groups = GroupOverlaps(overlaps);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        marked.try_emplace({groups[i].band.unit, groups[i].band.hz}, i + 1);
        for (const auto& other : groups[i].others) marked.try_emplace({other.unit, other.hz}, i + 1);
    }
    for (std::size_t u = first; u < last; ++u) {
        const double top = plot.top() + static_cast<double>(u - first) * kRowHeight;
        if ((u - first) % 2 == 1) painter.fillRect(QRectF(area.left(), top, area.width(), kRowHeight), QColor(246, 246, 246));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), top, kNameWidth - 6, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         Fitted(small, QString::fromStdString(units[u].name), kNameWidth - 6));
    }
    for (const auto& band : SwitchedOnBands(units)) {
        if (band.unit < first || band.unit >= last) continue;
        const double top = plot.top() + static_cast<double>(band.unit - first) * kRowHeight + 1.5;
        double left = AxisX(plot, Low(band)), right = AxisX(plot, High(band));
        if (right - left < 1.5) left -= 0.75, right += 0.75;  // a narrow decoder still shows
        const auto mark = marked.find({band.unit, band.hz});
        const bool overlapping = mark != marked.end();
        const QColor colour = overlapping ? QColor(200, 30, 30) : QColor(40, 90, 170);
        painter.setPen(overlapping ? QPen(Qt::black, 0.6) : Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRect(QRectF(left, top, right - left, kRowHeight - 3));
        if (overlapping) {
            painter.setPen(colour);
            painter.drawText(QPointF(right + 2, top + kRowHeight - 3.5), QStringLiteral("#%1").arg(mark->second));
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawRect(plot);
}

}  // namespace zr::report
