// Pager > Decode Recording...: the pages found in a sound file, and, with a roster loaded in the
// fleet dialog, the units each would alert and which nearly would.
#pragma once

#include <QDialog>

#include <vector>

#include "page_match.h"

class QLabel;
class QTableWidget;

namespace zr::gui {

class DecodeRecordingDialog final : public QDialog {
    Q_OBJECT

public:
    // `units`: the fleet last loaded in the fleet dialog, or none.
    DecodeRecordingDialog(std::vector<NamedImage> units, QWidget* parent = nullptr);

    // Decodes the recording and shows its pages; false, with the reason shown, when it cannot be read.
    bool Decode(const QString& path);

private:
    std::vector<NamedImage> units_;
    QLabel* lblRecording_ = nullptr;
    QTableWidget* grdPages_ = nullptr;
};

}  // namespace zr::gui
