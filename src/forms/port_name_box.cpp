#include "port_name_box.h"

#include <QComboBox>
#include <QEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace zr::gui {

PortNameBox::PortNameBox(QComboBox* box) : QObject(box), box_(box) {
    box->installEventFilter(this);
    connect(box, &QComboBox::currentTextChanged, box, [box](const QString& name) { box->setToolTip(name); });
}

bool PortNameBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_ || event->type() != QEvent::Paint) return false;
    Paint();
    return true;
}

// As the box paints itself, with the text cut at its start instead of its end.
void PortNameBox::Paint() {
    QStylePainter painter(box_);
    QStyleOptionComboBox option;
    option.initFrom(box_);
    option.editable = false;
    option.frame = true;
    option.currentText = box_->currentText();
    option.currentIcon = box_->itemIcon(box_->currentIndex());
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect label = box_->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box_);
    // The label keeps a margin inside the field on each side.
    const int room = label.width() - 2 * box_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box_) - 2;
    option.currentText = box_->fontMetrics().elidedText(option.currentText, Qt::ElideLeft, room);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace zr::gui
