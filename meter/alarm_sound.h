#pragma once
// The limit alarm's sound, and the system version that picks between a tone and the
// "ding.wav" file.

#include <QString>
#include <memory>

namespace quillon {

class AlarmSound {
  public:
    virtual ~AlarmSound() = default;
    // A sine tone; returns at once.
    virtual void tone(int hz, int ms) = 0;
    // Plays a sound file asynchronously.
    virtual void playFile(const QString& path) = 0;
};

// Qt Multimedia: a generated tone through the default audio output and QSoundEffect
// for files. Without an audio device both stay silent.
class QtAlarmSound final : public AlarmSound {
  public:
    QtAlarmSound();
    ~QtAlarmSound() override;
    void tone(int hz, int ms) override;
    void playFile(const QString& path) override;

  private:
    struct Players;
    std::unique_ptr<Players> players_;
};

// The running kernel's version as major + minor / 100 with two decimals ("6.01").
QString GetOSVersion();
QString FormatOSVersion(int major, int minor);
// The first character of a version text as a number ("6.01" -> 6, "10.02" -> 1).
int OSMajorOf(const QString& version);

}  // namespace quillon
