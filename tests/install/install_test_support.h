// Files on disk, a starter that only notes what would start, and a temporary medium.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "install_launcher.h"
#include "process_starter.h"

namespace quillon {

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Notes "program|argument ...|working folder" for each start.
class RecordingStarter final : public ProcessStarter {
  public:
    bool start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory) override {
        started << program + "|" + arguments.join(' ') + "|" + workingDirectory;
        return true;
    }
    QStringList started;
};

class MediumTest : public ::testing::Test {
  protected:
    void SetUp() override { QDir().mkpath(medium); }
    InstallLauncher Make(const QString& version) {
        return InstallLauncher(medium, starter, programFiles, [version] { return version; });
    }
    QTemporaryDir dir;
    QString medium = dir.filePath("medium"), programFiles = dir.filePath("opt");
    RecordingStarter starter;
};

}  // namespace quillon
