// A test page played on the default sound output through Qt Multimedia, without holding up the
// event loop: the window stays usable while it sounds, and Stop ends it.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <string>

class QAudioSink;
class QBuffer;

namespace zr {

class PagePlayer : public QObject {
    Q_OBJECT
public:
    explicit PagePlayer(QObject* parent = nullptr);
    ~PagePlayer() override;

    // Starts playing; the reason when the sound output cannot take it.
    std::optional<QString> Play(std::span<const float> samples, unsigned rate);
    void Stop();
    bool IsPlaying() const;

signals:
    // Played to the end, stopped, or failed (`error` then says why).
    void Finished(const QString& error);

private:
    void End(const QString& error);

    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QBuffer> buffer_;
};

// Plays the samples and returns once they have sounded; for programs without an event loop of
// their own. The reason when they could not be played.
std::optional<std::string> PlayAndWait(std::span<const float> samples, unsigned rate);

}  // namespace zr
