// The alarm's player on Qt Multimedia, built as a module of its own that the program
// loads on first use (AlarmSoundModule), so that starting the program never loads the
// multimedia and audio libraries.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cmath>
#include <memory>

#include "alarm_sound.h"

namespace quillon {
namespace {

// A generated tone through the default audio output and QSoundEffect for files.
// Without an audio device both stay silent.
class QtAlarmSound final : public AlarmSound {
  public:
    QtAlarmSound();
    ~QtAlarmSound() override;
    void prepare() override;
    void tone(int hz, int ms) override;
    void playFile(const QString& path) override;

  private:
    struct Players;
    std::unique_ptr<Players> players_;
};

struct QtAlarmSound::Players {
    std::unique_ptr<QAudioSink> sink;
    QBuffer toneBuffer;
    QByteArray tonePcm;
    std::unique_ptr<QSoundEffect> effect;
};

QtAlarmSound::QtAlarmSound() : players_(std::make_unique<Players>()) {}

QtAlarmSound::~QtAlarmSound() {
    if (players_->sink) players_->sink->stop();
}

// The samples of a sine tone in the given format; empty for a format not handled.
QByteArray ToneSamples(const QAudioFormat& format, int hz, int ms) {
    const int rate = format.sampleRate();
    const int channels = format.channelCount();
    const qint64 frames = qint64(rate) * ms / 1000;
    QByteArray pcm;
    if (rate <= 0 || channels <= 0 || frames <= 0) return pcm;
    const double step = 2.0 * M_PI * hz / rate;
    for (qint64 i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(step * double(i));
        for (int c = 0; c < channels; ++c) {
            if (format.sampleFormat() == QAudioFormat::Int16) {
                const qint16 sample = qint16(v * 32767);
                pcm.append(reinterpret_cast<const char*>(&sample), sizeof sample);
            } else if (format.sampleFormat() == QAudioFormat::Float) {
                const float sample = float(v);
                pcm.append(reinterpret_cast<const char*>(&sample), sizeof sample);
            } else {
                return {};
            }
        }
    }
    return pcm;
}

void QtAlarmSound::tone(int hz, int ms) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) format = device.preferredFormat();
    const QByteArray pcm = ToneSamples(format, hz, ms);
    if (pcm.isEmpty()) return;

    Players& p = *players_;
    if (p.sink) p.sink->stop();
    p.toneBuffer.close();
    p.tonePcm = pcm;
    p.toneBuffer.setBuffer(&p.tonePcm);
    p.toneBuffer.open(QIODevice::ReadOnly);
    p.sink = std::make_unique<QAudioSink>(device, format);
    p.sink->start(&p.toneBuffer);
}

void QtAlarmSound::playFile(const QString& path) {
    Players& p = *players_;
    if (!p.effect) p.effect = std::make_unique<QSoundEffect>();
    const QUrl url = QUrl::fromLocalFile(path);
    if (p.effect->source() != url) p.effect->setSource(url);
    p.effect->play();
}

void QtAlarmSound::prepare() {
    // The first look at the audio devices connects to the sound server, the slow part.
    QMediaDevices::defaultAudioOutput();
}

}  // namespace
}  // namespace quillon

// The module's one entry point; the caller owns the player.
extern "C" Q_DECL_EXPORT quillon::AlarmSound* quillon_create_alarm_sound() {
    return new quillon::QtAlarmSound();
}
