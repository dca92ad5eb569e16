#include "fleet_sheet_panel.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "fleet_sheet.h"
#include "message_boxes.h"
#include "tone_plan_chart.h"

namespace zr::gui {

namespace {

// The chart is drawn in points; on screen a point is drawn a little larger for reading.
constexpr double kScreenScale = 1.4;

QString FileName(const std::filesystem::path& path) { return QString::fromStdString(path.filename().string()); }

}  // namespace

class FleetSheetPanel::Chart final : public QWidget {
public:
    explicit Chart(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("TonePlanChart")); }

    void Show(const CheckedFleet* fleet) {
        fleet_ = fleet;
        const std::size_t rows = fleet ? fleet->units.size() : 0;
        setMinimumHeight(rows ? static_cast<int>(report::ChartHeight(rows) * kScreenScale) : 0);
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (!fleet_ || fleet_->units.empty()) return;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(event->rect());  // the rows in view only
        painter.scale(kScreenScale, kScreenScale);
        report::PaintTonePlanChart(painter, QRectF(QPointF(4, 0), QSizeF(width() / kScreenScale - 8, height() / kScreenScale)),
                                   fleet_->units, fleet_->problems, 0, fleet_->units.size());
    }

private:
    const CheckedFleet* fleet_ = nullptr;
};

FleetSheetPanel::FleetSheetPanel(QWidget* parent) : QWidget(parent) {
    // The button beside the chart, not under it: the dialog must fit a small screen.
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    chart_ = new Chart(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(chart_);
    scroll_->setWidgetResizable(true);
    scroll_->setMinimumHeight(48);
    layout->addWidget(scroll_, 1);
    auto* buttons = new QVBoxLayout;
    btnExportSheet_ = new QPushButton(QStringLiteral("Export &Sheet..."), this);
    btnExportSheet_->setObjectName(QStringLiteral("btnExportSheet"));
    btnExportSheet_->setEnabled(false);
    connect(btnExportSheet_, &QPushButton::clicked, this, &FleetSheetPanel::ExportSheetClick);
    buttons->addWidget(btnExportSheet_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void FleetSheetPanel::ShowFleet(const CheckedFleet* fleet, const std::filesystem::path& base,
                                const std::filesystem::path& roster, const std::filesystem::path& log) {
    if (fleet) fleet_ = *fleet;
    else fleet_.reset();
    base_ = base, roster_ = roster, log_ = log;
    chart_->Show(fleet_ ? &*fleet_ : nullptr);
    btnExportSheet_->setEnabled(fleet_.has_value());
}

void FleetSheetPanel::ExportSheetClick() {
    if (!fleet_) return;
    std::optional<std::map<std::string, report::LoggedWrite>> log;
    if (!log_.empty() && std::filesystem::exists(log_)) {
        auto read = report::ReadFleetLog(log_);
        if (const auto* error = std::get_if<TableError>(&read)) {
            ShowMessage(this, StopMessage(DescribeTableError(log_, *error)));
            return;
        }
        log = std::move(std::get<0>(read));
    }
    auto suggested = roster_;
    suggested.replace_extension(".pdf");
    const QString chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Export Sheet"),
                                                        QString::fromStdString(suggested.string()),
                                                        QStringLiteral("PDF files (*.pdf)"));
    if (chosen.isEmpty()) return;
    const report::FleetSheet sheet(QStringLiteral("%1 on %2").arg(FileName(roster_), FileName(base_)), *fleet_,
                                   std::move(log), report::LocalePaperSize());
    if (const auto failure = sheet.WritePdf(chosen.toStdString()))
        ShowMessage(this, StopMessage("Cannot write " + chosen.toStdString() + ": " + *failure));
}

}  // namespace zr::gui
