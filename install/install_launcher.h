// State and commands of the installer window, free of widgets: what it shows on
// load, what each button starts, and the branding copy when it closes.
#pragma once

#include <QString>
#include <functional>

#include "process_starter.h"

namespace quillon {

// "/opt" unless QUILLON_PROGRAM_FILES names another folder.
QString DefaultProgramFilesDir();

class InstallLauncher {
  public:
    // mediumDir: the folder holding the launcher (the top of the medium).
    InstallLauncher(QString mediumDir, ProcessStarter& starter,
                    QString programFilesDir = DefaultProgramFilesDir(),
                    std::function<QString()> versionText = {});

    // Sets InstallDir, the first button's caption, WinMajor and WinVersion.
    void load();
    // 0 starts the main program's setup, 1 the USB-serial driver installer; other
    // indexes start nothing (closing is the window's part). True when a program started.
    bool startRow(int index);
    // Copies the branding files into an installed program's folder.
    void finish();

    const QString& mediumDir() const { return mediumDir_; }

    QString InstallDir;    // program-files folder + "/QUILLON/"
    QString setupCaption;  // caption of the first button
    int WinMajor = 0;      // whole-number part of the version text
    float WinVersion = 0;  // numeric value of the version text

  private:
    QString mediumDir_;
    ProcessStarter& starter_;
    QString programFilesDir_;
    std::function<QString()> versionText_;
};

}  // namespace quillon
