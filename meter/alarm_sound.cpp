#include "alarm_sound.h"

#include <sys/utsname.h>

#include <QLibrary>

namespace quillon {
namespace {

using CreateAlarmSound = AlarmSound* (*)();

}  // namespace

AlarmSoundModule::AlarmSoundModule(QString modulePath) : path_(std::move(modulePath)) {}

AlarmSoundModule::~AlarmSoundModule() = default;

AlarmSound* AlarmSoundModule::player() {
    if (!tried_) {
        tried_ = true;
        // The module stays loaded for the rest of the run: its player may still sound.
        QLibrary module(path_);
        auto create =
            reinterpret_cast<CreateAlarmSound>(module.resolve("quillon_create_alarm_sound"));
        if (create) player_.reset(create());
    }
    return player_.get();
}

void AlarmSoundModule::prepare() {
    // Once is enough: the poll loop asks on every tick of a recording with the alarm on.
    if (prepared_) return;
    prepared_ = true;
    if (AlarmSound* p = player()) p->prepare();
}

void AlarmSoundModule::tone(int hz, int ms) {
    if (AlarmSound* p = player()) p->tone(hz, ms);
}

void AlarmSoundModule::playFile(const QString& path) {
    if (AlarmSound* p = player()) p->playFile(path);
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
