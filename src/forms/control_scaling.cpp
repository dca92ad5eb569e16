#include "control_scaling.h"

#include <QFont>
#include <QStackedWidget>
#include <algorithm>
#include <cmath>

namespace zr::gui {

QRect ScaledGeometry(const QRect& design, double sx, double sy) {
    const auto scale = [](int value, double ratio) { return static_cast<int>(std::trunc(value * ratio)); };
    return {scale(design.left(), sx), scale(design.top(), sy), scale(design.width(), sx), scale(design.height(), sy)};
}

std::optional<int> ScaledFontSize(int designSize, double sx, double sy) {
    const int size = static_cast<int>(std::trunc(designSize * std::min(sx, sy)));
    if (size < 1) return std::nullopt;
    return size;
}

void ControlScaler::Record(QSize designSize, QWidget* root, const std::vector<QWidget*>& excluded) {
    designSize_ = designSize;
    entries_.clear();
    for (QWidget* control : root->findChildren<QWidget*>()) {
        // Only the window's own controls: the parts Qt builds inside a control have no name of ours.
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        if (std::find(excluded.begin(), excluded.end(), control) != excluded.end()) continue;
        const bool placedByParent = qobject_cast<QStackedWidget*>(control->parentWidget()) != nullptr;
        const QFont font = control->font();
        const bool inPoints = font.pointSize() > 0;
        entries_.push_back({control, control->geometry(), inPoints ? font.pointSize() : font.pixelSize(), inPoints,
                            placedByParent});
    }
}

void ControlScaler::Apply(QSize size) const {
    if (designSize_.isEmpty()) return;
    const double sx = static_cast<double>(size.width()) / designSize_.width();
    const double sy = static_cast<double>(size.height()) / designSize_.height();
    for (const Entry& entry : entries_) {
        if (!entry.control) continue;
        if (!entry.placedByParent) entry.control->setGeometry(ScaledGeometry(entry.geometry, sx, sy));
        const auto fontSize = ScaledFontSize(entry.fontSize, sx, sy);
        if (!fontSize) continue;  // too small to show: this control keeps its font
        // Only the size: a style the window gave the font since (a hovered link) stays.
        QFont font = entry.control->font();
        if (entry.fontInPoints)
            font.setPointSize(*fontSize);
        else
            font.setPixelSize(*fontSize);
        entry.control->setFont(font);
    }
}

}  // namespace zr::gui
