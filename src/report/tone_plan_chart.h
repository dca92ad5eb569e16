// The fleet's tone plan as a picture: every switched-on tone of every unit a band as wide as that
// unit's decoder bandwidth, on a logarithmic tone axis over the standard tone table's span, units as
// rows, and the tones of the tone plan check's problems marked with their problem's number.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <vector>

#include "fleet_check.h"

namespace zr::report {

// How many unit rows a chart of `height` points holds, and how high a chart of `rows` rows is.
std::size_t ChartRowsFitting(double height);
double ChartHeight(std::size_t rows);

// Paints the chart of units [first, first + count) into `area` (in points), the bands of tones in a
// tone plan problem red with the problem's number; rows outside the painter's clip are skipped.
void PaintTonePlanChart(QPainter& painter, const QRectF& area, const std::vector<UnitImage>& units,
                        const std::vector<PlanProblem>& problems, std::size_t first, std::size_t count);

}  // namespace zr::report
