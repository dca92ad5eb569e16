// A fleet sheet: a row per unit (its calls' tones and switches, group tones, decoder bandwidth and
// what the fleet log says of its Write), the tone plan chart, and the tone plan check's problems,
// numbered as the chart marks their tones. Pages follow one another as the fleet needs, the table's
// header repeated on each.
#pragma once

#include <QPainter>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fleet_check.h"
#include "fleet_log_reader.h"
#include "report_pages.h"
#include "tone_plan_chart.h"

namespace zr::report {

class FleetSheet {
public:
    // `log` is the fleet log's last line per unit, when a log was given.
    FleetSheet(QString title, CheckedFleet fleet, std::optional<std::map<std::string, LoggedWrite>> log,
               PaperSize paper);

    const PageSetup& Setup() const { return setup_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    void PaintPage(QPainter& painter, int index) const;

    // The table's columns and a unit's row, as printed.
    QStringList Header() const;
    QStringList Row(std::size_t unit) const;

    std::optional<std::string> WritePdf(const std::filesystem::path& path) const;

private:
    enum class PageKind { Table, Chart, Notes };
    struct Page {
        PageKind kind;
        std::size_t first = 0;
        std::size_t count = 0;
    };

    void PlanPages();
    double PaintPageHead(QPainter& painter, int index, const QString& heading) const;

    QString title_;
    CheckedFleet fleet_;
    std::optional<std::map<std::string, LoggedWrite>> log_;
    PageSetup setup_;
    std::vector<QString> notes_;  // wrapped lines of the problems and the refused cells
    std::vector<Page> pages_;
};

}  // namespace zr::report
