#include "install_launcher.h"

#include <QDir>
#include <utility>

#include "launcher_rules.h"

namespace quillon {

QString DefaultProgramFilesDir() {
    const QString configured = qEnvironmentVariable("QUILLON_PROGRAM_FILES");
    return configured.isEmpty() ? QStringLiteral("/opt") : configured;
}

InstallLauncher::InstallLauncher(QString mediumDir, ProcessStarter& starter,
                                 QString programFilesDir, std::function<QString()> versionText)
    : mediumDir_(std::move(mediumDir)),
      starter_(starter),
      programFilesDir_(std::move(programFilesDir)),
      versionText_(versionText ? std::move(versionText) : std::function<QString()>(GetWinVer)) {}

void InstallLauncher::load() {
    QString base = programFilesDir_;
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    InstallDir = base + QStringLiteral("/QUILLON/");
    setupCaption = ProductCaption(QDir(mediumDir_).filePath(kSubLogName));
    const QString version = versionText_();
    WinMajor = VersionMajor(version);
    WinVersion = VersionValue(version);
}

bool InstallLauncher::startRow(int index) {
    LaunchCommand command;
    if (index == 0)
        command = SetupProgramFor(WinMajor, mediumDir_);
    else if (index == 1)
        command = DriverInstallerFor(WinVersion, mediumDir_);
    else
        return false;
    return starter_.start(command.program, command.arguments, mediumDir_);
}

void InstallLauncher::finish() { CopyBrandingFiles(mediumDir_, InstallDir); }

}  // namespace quillon
