#include "page_player.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zr {
namespace {

// The output has drained the data when it falls idle, but its own buffer still sounds: this much
// silence after the page lets the page end before playing counts as done.
constexpr double kTrailingSilenceSeconds = 0.5;

QByteArray Pcm16(std::span<const float> samples, unsigned rate) {
    const std::size_t trailing = static_cast<std::size_t>(kTrailingSilenceSeconds * rate);
    QByteArray bytes(static_cast<qsizetype>((samples.size() + trailing) * sizeof(std::int16_t)), '\0');
    auto* out = reinterpret_cast<std::int16_t*>(bytes.data());
    for (std::size_t n = 0; n < samples.size(); ++n)
        out[n] = static_cast<std::int16_t>(std::lround(std::clamp(samples[n], -1.0f, 1.0f) * 32767.0f));
    return bytes;
}

}  // namespace

PagePlayer::PagePlayer(QObject* parent) : QObject(parent) {}
// Gone with whoever owns it: the sound stops, and nobody is told, for whoever listened may be
// going too.
PagePlayer::~PagePlayer() {
    if (sink_) sink_->stop();
}

std::optional<QString> PagePlayer::Play(std::span<const float> samples, unsigned rate) {
    Stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return tr("there is no sound output");
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(rate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return tr("the sound output %1 cannot play 16-bit mono at %2 Hz").arg(device.description()).arg(rate);
    buffer_ = std::make_unique<QBuffer>();
    buffer_->setData(Pcm16(samples, rate));
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (!sink_) return;
        if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError)
            End(tr("the sound output failed"));
        else if (state == QAudio::IdleState && buffer_->atEnd())
            End({});
    });
    sink_->start(buffer_.get());
    if (sink_->error() == QAudio::OpenError) {
        sink_.reset();
        buffer_.reset();
        return tr("the sound output %1 cannot be opened").arg(device.description());
    }
    return std::nullopt;
}

void PagePlayer::Stop() {
    if (sink_) End({});
}

bool PagePlayer::IsPlaying() const { return sink_ != nullptr; }

void PagePlayer::End(const QString& error) {
    // The sink goes later: this may run inside its own signal.
    QAudioSink* sink = sink_.release();
    sink->disconnect(this);
    sink->stop();
    sink->deleteLater();
    if (buffer_) buffer_.release()->deleteLater();
    emit Finished(error);
}

std::optional<std::string> PlayAndWait(std::span<const float> samples, unsigned rate) {
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "zr250pro-cli";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    PagePlayer player;
    QEventLoop loop;
    QString failure;
    QObject::connect(&player, &PagePlayer::Finished, &loop, [&](const QString& error) {
        failure = error;
        loop.quit();
    });
    if (const auto refused = player.Play(samples, rate)) return refused->toStdString();
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!failure.isEmpty()) return failure.toStdString();
    return std::nullopt;
}

}  // namespace zr
