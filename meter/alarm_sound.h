#pragma once
// The limit alarm's sound, and the system version that picks between a tone and the
// "ding.wav" file.

#include <QString>
#include <memory>

namespace quillon {

class AlarmSound {
  public:
    virtual ~AlarmSound() = default;
    // Gets ready so that the next sound starts at once; sounding without it works too.
    virtual void prepare() {}
    // A sine tone; returns at once.
    virtual void tone(int hz, int ms) = 0;
    // Plays a sound file asynchronously.
    virtual void playFile(const QString& path) = 0;
};

// The program's alarm sound. Its player (Qt Multimedia: a generated tone through the
// default audio output, QSoundEffect for files) is a module of its own,
// quillon-alarm-sound.so beside the program, loaded when the alarm is first prepared or
// sounded: a run that sounds no alarm never loads the multimedia and audio libraries.
// Without the module, or without an audio device, the alarm stays silent.
class AlarmSoundModule final : public AlarmSound {
  public:
    explicit AlarmSoundModule(QString modulePath);
    ~AlarmSoundModule() override;
    void prepare() override;
    void tone(int hz, int ms) override;
    void playFile(const QString& path) override;

  private:
    AlarmSound* player();  // loads the module on first use; null without it

    QString path_;
    bool tried_ = false;
    bool prepared_ = false;
    std::unique_ptr<AlarmSound> player_;
};

// The running kernel's version as major + minor / 100 with two decimals ("6.01").
QString GetOSVersion();
QString FormatOSVersion(int major, int minor);
// The first character of a version text as a number ("6.01" -> 6, "10.02" -> 1).
int OSMajorOf(const QString& version);

}  // namespace quillon
