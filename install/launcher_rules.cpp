#include "launcher_rules.h"

#include <sys/utsname.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace quillon {

namespace {

// A product name is one short line; this bounds what a stray large file can cost.
constexpr qint64 kMaxLineBytes = 4096;

bool CopyOverwriting(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = source.readAll();
    // Written beside the target and renamed over it, so a failed copy leaves the old file.
    QSaveFile target(to);
    return target.open(QIODevice::WriteOnly) && target.write(bytes) == bytes.size() &&
           target.commit();
}

}  // namespace

QString FormatWinVer(int major, int minor) {
    return QString::number(major + minor / 100.0, 'f', 2);
}

QString KernelReleaseVersion(const QString& release) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch match = pattern.match(release);
    if (!match.hasMatch()) return QString();
    return FormatWinVer(match.captured(1).toInt(), match.captured(2).toInt());
}

QString GetWinVer() {
    struct utsname names {};
    if (uname(&names) != 0) return QString();
    return KernelReleaseVersion(QString::fromLatin1(names.release));
}

int VersionMajor(const QString& versionText) {
    const QString text = versionText.trimmed();
    int digits = 0;
    while (digits < text.size() && text.at(digits).isDigit()) ++digits;
    return text.left(digits).toInt();
}

float VersionValue(const QString& versionText) {
    bool ok = false;
    const float value = versionText.trimmed().toFloat(&ok);
    return ok ? value : 0.0f;
}

LaunchCommand SetupProgramFor(int winMajor, const QString& mediumDir) {
    const QDir medium(mediumDir);
    return {medium.filePath(winMajor < 6 ? kSetupOlderSystems : kSetupNewerSystems), {}};
}

LaunchCommand DriverInstallerFor(float winVersion, const QString& mediumDir) {
    const QDir medium(mediumDir);
    if (winVersion < 5.0f)
        return {QStringLiteral("xdg-open"), {medium.filePath(kDriverManualNotes)}};
    if (winVersion == 5.0f) return {medium.filePath(kDriverVersion5), {}};
    return {medium.filePath(kDriverAbove5), {}};
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) return false;
    if (path.endsWith(QLatin1Char('/'))) {
        const QDir folder(path);
        return folder.exists() && !folder.entryList(QDir::Files).isEmpty();
    }
    return QFileInfo(path).isFile();
}

QString ProductCaption(const QString& subLogPath) {
    const QString fallback = QStringLiteral("Install ") + QLatin1String(kDefaultProduct);
    QFile file(subLogPath);
    if (!file.open(QIODevice::ReadOnly)) return fallback;
    QString line = QString::fromUtf8(file.readLine(kMaxLineBytes));
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (line.trimmed().isEmpty()) return fallback;
    return QStringLiteral("Install ") + line;
}

QStringList CopyBrandingFiles(const QString& mediumDir, const QString& installDir) {
    QStringList copied;
    if (!FileExists(installDir)) return copied;
    const QDir medium(mediumDir);
    for (const char* name : {kSubLogName, kMarkIconName}) {
        const QString source = medium.filePath(QLatin1String(name));
        if (!QFileInfo(source).isFile()) continue;
        if (CopyOverwriting(source, installDir + QLatin1String(name)))
            copied << QLatin1String(name);
    }
    return copied;
}

}  // namespace quillon
