#include "settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace quillon {

namespace {
const QString kSection = QStringLiteral("kvr3318");
const QString kApplicationFile = QStringLiteral("regtest.ini");

QString Qualified(const QString& key) { return kSection + QLatin1Char('/') + key; }
}  // namespace

QString SettingsStore::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid for this variable and are ignored.
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
    return QDir::cleanPath(base) + QLatin1Char('/') + kApplicationFile;
}

SettingsStore::SettingsStore() : SettingsStore(DefaultPath()) {}

SettingsStore::SettingsStore(const QString& iniPath) : path_(iniPath) {
    QDir().mkpath(QFileInfo(iniPath).absolutePath());
    ini_ = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::ReadSetting(const QString& key, const QString& defaultText) const {
    const QVariant value = ini_->value(Qualified(key));
    if (!value.isValid()) return defaultText;
    // A hand-edited file may hold an unquoted value with commas, which the INI reader
    // splits into a list; the text as written is the list joined again.
    if (value.userType() == QMetaType::QStringList) return value.toStringList().join(',');
    return value.toString();
}

void SettingsStore::WriteSetting(const QString& key, const QString& text) {
    ini_->setValue(Qualified(key), text);
    if (batchDepth_ == 0) ini_->sync();
}

bool SettingsStore::contains(const QString& key) const { return ini_->contains(Qualified(key)); }

bool SettingsStore::writable() const { return ini_->status() == QSettings::NoError; }

QString SettingsStore::UnwritableMessage(const QString& what) const {
    return what + " could not be written to " + path_ +
           ". They apply until the program ends; check that the folder is writable.";
}

}  // namespace quillon
