// The closed COM Port box shows the end of a long port path ("…/pts/7", "…/ttyUSB0"): the device's
// name is what tells ports apart, not the folder it lies in. The whole path is the box's tooltip;
// the open list shows every name whole.
#pragma once

#include <QObject>

class QComboBox;

namespace zr::gui {

class PortNameBox : public QObject {
    Q_OBJECT

public:
    explicit PortNameBox(QComboBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Paint();

    QComboBox* box_;
};

}  // namespace zr::gui
