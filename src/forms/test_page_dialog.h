// Pager > Test Page...: a call or group call of the image in the window played on the sound output
// (the window stays usable meanwhile, Stop ends it) or saved as a sound file.
#pragma once

#include <QDialog>

#include "page_player.h"
#include "pager_image.h"
#include "test_page.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace zr::gui {

class TestPageDialog final : public QDialog {
    Q_OBJECT

public:
    // `image` is the window's own: the dialog reads it afresh at every Play and Save.
    TestPageDialog(const PagerImage& image, QWidget* parent = nullptr);

    // The calls as the image now holds them.
    void ShowCalls();
    void PlayClick();
    void StopClick();
    // Saves the page as `path` (WAV, or FLAC by the extension); the Save As button asks for the path.
    bool SaveTo(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    Page SelectedPage() const;
    void PlayingEnded(const QString& error);

    const PagerImage& image_;
    PageTiming timing_;
    PagePlayer player_;
    QComboBox* cboCall_ = nullptr;
    QPushButton* btnPlay_ = nullptr;
    QPushButton* btnStop_ = nullptr;
    QPushButton* btnSave_ = nullptr;
    QLabel* lblStatus_ = nullptr;
};

}  // namespace zr::gui
