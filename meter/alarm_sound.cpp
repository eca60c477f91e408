#include "alarm_sound.h"

#include <sys/utsname.h>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cmath>

namespace quillon {

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

namespace {

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

}  // namespace

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

QString FormatOSVersion(int major, int minor) {
    return QString::number(major + minor / 100.0, 'f', 2);
}

QString GetOSVersion() {
    utsname name{};
    if (::uname(&name) != 0) return FormatOSVersion(0, 0);
    // "6.1.0-18-amd64": the leading numbers of the first two fields.
    const QStringList parts = QString::fromLatin1(name.release).split(QLatin1Char('.'));
    auto leadingNumber = [](const QString& s) {
        int n = 0;
        for (QChar c : s) {
            if (!c.isDigit()) break;
            n = n * 10 + c.digitValue();
        }
        return n;
    };
    const int major = parts.isEmpty() ? 0 : leadingNumber(parts.at(0));
    const int minor = parts.size() < 2 ? 0 : leadingNumber(parts.at(1));
    return FormatOSVersion(major, minor);
}

int OSMajorOf(const QString& version) {
    const QString t = version.trimmed();
    if (t.isEmpty() || !t.at(0).isDigit()) return 0;
    return t.at(0).digitValue();
}

}  // namespace quillon
