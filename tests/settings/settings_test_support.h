#pragma once
// A fresh store file for each test, inside the test program's private config folder.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "settings_store.h"

namespace quillon::test {

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class FreshStore {
  public:
    FreshStore() : dir_(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("store-XXXXXX")) {
        store_ = std::make_unique<SettingsStore>(dir_.filePath("regtest.ini"));
    }
    SettingsStore& store() { return *store_; }
    QString path() const { return store_->path(); }
    // Another store object on the same file, as the next run of the program would open it.
    std::unique_ptr<SettingsStore> reopen() const {
        return std::make_unique<SettingsStore>(path());
    }
    // The stored texts of the blank-separated keys, blank-separated ("-" for an absent key).
    QString stored(const QString& keys) const {
        QStringList texts;
        for (const QString& key : keys.split(' ')) texts << reopen()->ReadSetting(key, "-");
        return texts.join(' ');
    }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<SettingsStore> store_;
};

}  // namespace quillon::test
