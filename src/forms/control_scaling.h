// Keeps the main window's controls in proportion to the window: every control's position, size and
// font follow the ratio of the window's size to the size it was designed at.
#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <optional>
#include <vector>

namespace zr::gui {

// The design rectangle scaled by the two ratios, each coordinate truncated.
QRect ScaledGeometry(const QRect& design, double sx, double sy);
// The design font size scaled by the smaller ratio and truncated; nothing when no font that small
// exists, so the control keeps the font it has.
std::optional<int> ScaledFontSize(int designSize, double sx, double sy);

class ControlScaler {
public:
    // Takes the window's design size and, in creation order, every control under `root` except
    // those listed: their geometry and font size as designed.
    void Record(QSize designSize, QWidget* root, const std::vector<QWidget*>& excluded = {});
    // Scales every recorded control for a window of `size`.
    void Apply(QSize size) const;

    QSize DesignSize() const { return designSize_; }

private:
    struct Entry {
        QPointer<QWidget> control;
        QRect geometry;
        int fontSize;       // as designed, in points or (when the font is set in pixels) in pixels
        bool fontInPoints;
        bool placedByParent;  // a page of a tab control: the tab control places it
    };
    QSize designSize_;
    std::vector<Entry> entries_;
};

}  // namespace zr::gui
