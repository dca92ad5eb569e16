// The fleet dialog's picture of the tone plan: the chart of the loaded roster, scrolled, and
// Export Sheet..., which writes the whole fleet sheet as a PDF.
#pragma once

#include <QWidget>

#include <filesystem>
#include <optional>

#include "fleet_check.h"

class QPushButton;
class QScrollArea;

namespace zr::gui {

class FleetSheetPanel final : public QWidget {
    Q_OBJECT

public:
    explicit FleetSheetPanel(QWidget* parent = nullptr);

    // The fleet just checked (none clears the chart); `log` is the dialog's log, read when it exists.
    void ShowFleet(const CheckedFleet* fleet, const std::filesystem::path& base, const std::filesystem::path& roster,
                   const std::filesystem::path& log);

private:
    class Chart;
    void ExportSheetClick();

    std::optional<CheckedFleet> fleet_;
    std::filesystem::path base_, roster_, log_;
    Chart* chart_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QPushButton* btnExportSheet_ = nullptr;
};

}  // namespace zr::gui
