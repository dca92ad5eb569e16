// The fleet's tone plan as a picture: every switched-on tone of every unit a band as wide as that
// unit's decoder bandwidth, on a logarithmic tone axis over the standard tone table's span, units as
// rows, and the bands of different units that overlap marked and named.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <string>
#include <vector>

#include "fleet_check.h"

namespace zr::report {

// One switched-on tone of a unit.
struct ToneBand {
    std::size_t unit = 0;       // index into the fleet's units
    std::string role;           // "call 2 tone 1", "group 1"
    double hz = 0;
    double percent = 0;         // the unit's decoder bandwidth; 0 when its byte selects none
};

// Two bands of different units that a decoder could both take for one heard tone, at different
// tones (units sharing a tone share it on purpose: a group call, a common first tone).
struct BandOverlap {
    ToneBand first;
    ToneBand second;
};

std::vector<ToneBand> SwitchedOnBands(const std::vector<UnitImage>& units);
// Every overlapping pair once, ordered by tone.
std::vector<BandOverlap> FindOverlaps(const std::vector<UnitImage>& units);

// A band with every band it overlaps: the overlaps grouped by their lower band, in the order found,
// so that a crowded stretch of the plan reads as one line a band rather than one a pair.
struct OverlapGroup {
    ToneBand band;
    std::vector<ToneBand> others;
};
std::vector<OverlapGroup> GroupOverlaps(const std::vector<BandOverlap>& overlaps);

// "unit-a call 1 tone 2 600.9 Hz ±1.5 % overlaps unit-b group 1 602.0 Hz ±1.5 %, ..."
std::string DescribeOverlapGroup(const std::vector<UnitImage>& units, const OverlapGroup& group);

// How many unit rows a chart of `height` points holds, and how high a chart of `rows` rows is.
std::size_t ChartRowsFitting(double height);
double ChartHeight(std::size_t rows);

// Paints the chart of units [first, first + count) into `area` (in points).
void PaintTonePlanChart(QPainter& painter, const QRectF& area, const std::vector<UnitImage>& units,
                        const std::vector<BandOverlap>& overlaps, std::size_t first, std::size_t count);

}  // namespace zr::report
