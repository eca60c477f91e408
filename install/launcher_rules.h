// The launcher's decisions as plain functions: the version text, which program of
// the medium to start, the product caption, and the branding-file copy.
#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

// Paths of the programs on the installation medium, relative to its top folder.
inline constexpr char kSetupOlderSystems[] = "Win98_XP/setup.exe";
inline constexpr char kSetupNewerSystems[] = "Vista_Win7/setup.exe";
inline constexpr char kDriverVersion5[] = "USB driver/Win2000/CDM20600.exe";
inline constexpr char kDriverAbove5[] = "USB driver/WinXP_Win7/CDM20802_Setup.exe";
// Read by hand on systems too old for the driver installers.
inline constexpr char kDriverManualNotes[] = "USB driver/README.txt";

inline constexpr char kDefaultProduct[] = "VEK 4412 QUILLON";
inline constexpr char kSubLogName[] = "sub.log";
inline constexpr char kMarkIconName[] = "Mark.ico";

// A program and its arguments, each passed to the process as it is (never a shell).
struct LaunchCommand {
    QString program;
    QStringList arguments;
    bool operator==(const LaunchCommand& other) const {
        return program == other.program && arguments == other.arguments;
    }
};

// major + minor / 100 with two decimals: (5, 1) → "5.01", (4, 10) → "4.10".
QString FormatWinVer(int major, int minor);
// The version text of a kernel release such as "6.1.0-18-amd64" ("6.01"); "" if unreadable.
QString KernelReleaseVersion(const QString& release);
// The running kernel's version text (uname).
QString GetWinVer();

// The whole-number part of a version text ("6.01" → 6, "10.05" → 10, "" → 0).
int VersionMajor(const QString& versionText);
// The numeric value of a version text (0 when it is not a number).
float VersionValue(const QString& versionText);

// Setup program of the main program: below 6 the older setup, else the newer one.
LaunchCommand SetupProgramFor(int winMajor, const QString& mediumDir);
// USB-serial driver installer: below 5 the manual notes opened with the desktop's
// viewer, exactly 5 the version-5 installer, above 5 the newer installer.
LaunchCommand DriverInstallerFor(float winVersion, const QString& mediumDir);

// True for an existing file; for a path ending in "/", true when that folder exists
// and holds at least one (non-hidden) file.
bool FileExists(const QString& path);

// Caption of the first button from the medium's "sub.log": "Install " + its first
// line as written, or "Install VEK 4412 QUILLON" when the file is missing or the
// line is blank.
QString ProductCaption(const QString& subLogPath);

// Copies "sub.log" then "Mark.ico" from mediumDir into installDir, overwriting, but
// only when installDir (ending in "/") already holds a file, i.e. the program is
// installed. Missing files are skipped. Returns the names copied.
QStringList CopyBrandingFiles(const QString& mediumDir, const QString& installDir);

}  // namespace quillon
