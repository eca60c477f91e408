// Shared pieces of the installer tests: files on disk, a process starter that only
// notes what would start, and a temporary medium with its program-files folder.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

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

struct StartedProgram {
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

class RecordingStarter final : public ProcessStarter {
  public:
    bool start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory) override {
        started.push_back({program, arguments, workingDirectory});
        return true;
    }
    std::vector<StartedProgram> started;
};

// A medium folder and a program-files folder in a fresh temporary folder.
class MediumTest : public ::testing::Test {
  protected:
    void SetUp() override {
        medium = dir.filePath("medium");
        programFiles = dir.filePath("opt");
        QDir().mkpath(medium);
    }
    InstallLauncher Make(const QString& version) {
        return InstallLauncher(medium, starter, programFiles, [version] { return version; });
    }
    QTemporaryDir dir;
    QString medium;
    QString programFiles;
    RecordingStarter starter;
};

}  // namespace quillon
