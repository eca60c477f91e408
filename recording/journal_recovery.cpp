#include "journal_recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "journal_format.h"
#include "recorder.h"

namespace quillon {

namespace {

constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;
constexpr int kMaxReportNames = 1000;
// A journal being made takes its name within moments; one this old was left by a crash
// at that moment and holds no record.
constexpr qint64 kStalePartSeconds = 24 * 60 * 60;

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

void SyncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool ReadAll(int fd, QByteArray* bytes, QString* why) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = ErrnoText();
            return false;
        }
        if (n == 0) return true;
        bytes->append(buf, n);
        if (bytes->size() > kMaxJournalBytes) {
            *why = QStringLiteral("the file is too large to be a journal");
            return false;
        }
    }
}

// Removes journals-in-the-making a crash left behind long ago; a locked one is still
// being made.
void RemoveStaleParts(const QString& folder) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-kStalePartSeconds);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& info : files) {
        if (!info.fileName().startsWith(QLatin1String(journal::kPartPrefix))) continue;
        if (info.lastModified() > before) continue;
        const QByteArray path = QFile::encodeName(info.absoluteFilePath());
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.constData());
        ::close(fd);
    }
}

QString LineError(int line) { return QStringLiteral("line %1 cannot be read").arg(line); }

bool ToInt(const QString& text, int lo, int hi, int* out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi) return false;
    *out = v;
    return true;
}

void ApplySettings(Session& s, const QStringList& f) {
    s.settings.graphTitle = f[0];
    s.settings.dateTimeFormats = {f[1], f[2]};
    Statistics& st = s.stats;
    for (int i = 0; i < 3; ++i) st.statFlags[i] = f[3].mid(i, 1) == QLatin1String("1");
    // As the window's settings do: a row switched off is emptied.
    if (!st.statFlags[0]) st.maxRow.fill(QString());
    if (!st.statFlags[1]) st.minRow.fill(QString());
    if (!st.statFlags[2]) st.avgRow.fill(QString());
}

bool ReplayRecord(Session& s, const QStringList& f, const RecorderCalls& calls, int row) {
    int func = 0, range = 0;
    bool decOk = false;
    const double dec = f[2].toDouble(&decOk);
    if (!ToInt(f[0], 0, 255, &func) || !ToInt(f[1], 0, 15, &range) || !decOk) return false;
    s.reading.function = func;
    s.reading.range = range;
    s.reading.decimalIndex = float(dec);
    s.reading.valueText = f[7];
    s.readout.unit = f[3];
    s.rec.nextRecord = row;
    RecordTable& t = s.table;
    if (t.rows() < row + 1) t.setRows(row + 1);
    for (int c = 0; c < RecordTable::kColumns; ++c) t.setCell(row, c, f[4 + c]);
    t.setRows(row + 2);
    AfterRecordWritten(s, calls);
    return true;
}

// Writes the report under the first free "_recovered" name of the first folder that
// takes it. Returns its path, or "" with the reasons.
QString WriteRecoveredReport(const Session& s, const QString& baseName, const QStringList& folders,
                             const RecoveryCalls& calls, QString* why) {
    QStringList reasons;
    for (const QString& folder : folders) {
        if (folder.isEmpty()) continue;
        if (!QDir().mkpath(folder)) {
            reasons << folder + QStringLiteral(": the folder cannot be made");
            continue;
        }
        for (int n = 1; n <= kMaxReportNames; ++n) {
            const QString name = baseName + QStringLiteral("_recovered") +
                                 (n == 1 ? QString() : QStringLiteral("_%1").arg(n)) +
                                 QStringLiteral(".csv");
            const QString path = QDir(folder).filePath(name);
            // Taking the name first: an existing file is never replaced.
            QFile claim(path);
            if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                if (QFileInfo::exists(path)) continue;
                reasons << path + QStringLiteral(": ") + claim.errorString();
                break;
            }
            claim.close();
            const QString error =
                calls.writeReport ? calls.writeReport(s, path) : QStringLiteral("no report writer");
            if (error.isEmpty()) {
                SyncFolder(folder);
                return path;
            }
            QFile::remove(path);
            reasons << error;
            break;
        }
    }
    *why =
        reasons.isEmpty() ? QStringLiteral("no save folder") : reasons.join(QStringLiteral("; "));
    return QString();
}

}  // namespace

QString ReplayJournal(const QByteArray& bytes, Session& s, const RecoveryCalls& calls,
                      int* records) {
    *records = 0;
    // Whatever follows the last line feed is a line cut short by the end of the program.
    const qsizetype end = bytes.lastIndexOf('\n');
    if (end < 0) {
        if (QByteArray(journal::kFirstLine).startsWith(bytes)) return QString();
        return QStringLiteral("this is not a recording journal of this program");
    }
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    if (lines.first() != journal::kFirstLine)
        return QStringLiteral("this is not a recording journal of this program");

    RecordTable& t = s.table;
    t.setRows(1);
    t.setRows(2);
    static const char* const kHeaders[] = {"NO", "Date", "Time", "Value", "Unit"};
    for (int c = 0; c < RecordTable::kColumns; ++c) t.setCell(0, c, kHeaders[c]);
    s.stats.avgSum = QStringLiteral("0");
    RecorderCalls statistics;
    statistics.UpdateMaxMin = [&] {
        if (calls.updateStatistics) calls.updateStatistics(s);
    };

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const int lineNo = int(i) + 1;
        QByteArray tag;
        QStringList f;
        if (!journal::SplitLine(lines.at(i), &tag, &f)) return LineError(lineNo);
        if (tag == journal::kNameTag && f.size() == 1) {
            s.rec.recordName = f[0];
        } else if (tag == journal::kSettingsTag && f.size() == journal::kSettingsFields) {
            ApplySettings(s, f);
        } else if (tag == journal::kRecordTag && f.size() == journal::kRecordFields) {
            if (!ReplayRecord(s, f, statistics, *records + 1)) return LineError(lineNo);
            ++*records;
        } else {
            return LineError(lineNo);
        }
    }
    return QString();
}

RecoveryOutcome RecoverJournals(const QString& journalFolder, const QStringList& saveFolders,
                                const RecoveryCalls& calls) {
    RecoveryOutcome outcome;
    // Names are matched by hand: a name filter would compile a regular expression, and
    // loading that engine costs half a megabyte at every start.
    const QFileInfoList files = QDir(journalFolder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& info : files) {
        if (!info.fileName().endsWith(QLatin1String(journal::kFileSuffix))) continue;
        const QString path = info.absoluteFilePath();
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            outcome.failed.push_back({path, ErrnoText()});
            continue;
        }
        // A journal another program still writes to is its recording, not a lost one.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        QByteArray bytes;
        QString why;
        Session session;
        int records = 0;
        if (ReadAll(fd, &bytes, &why)) why = ReplayJournal(bytes, session, calls, &records);
        if (!why.isEmpty()) {
            outcome.failed.push_back({path, why});
        } else if (records == 0) {
            ::unlink(QFile::encodeName(path).constData());  // nothing was recorded
        } else {
            QString name = session.rec.recordName.trimmed();
            name.replace(QLatin1Char('/'), QLatin1Char('_'));
            if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) name = info.completeBaseName();
            const QString report = WriteRecoveredReport(session, name, saveFolders, calls, &why);
            if (report.isEmpty()) {
                outcome.failed.push_back({path, why});
            } else {
                ::unlink(QFile::encodeName(path).constData());
                outcome.recovered.push_back({path, report, records});
            }
        }
        ::close(fd);
    }
    if (!outcome.recovered.isEmpty()) SyncFolder(journalFolder);
    RemoveStaleParts(journalFolder);
    return outcome;
}

QString RecoveryMessage(const RecoveryOutcome& outcome) {
    QString text;
    if (!outcome.recovered.isEmpty()) {
        text += QStringLiteral(
            "A recording was cut short when the program last ended. Its records were kept "
            "and are saved as reports:\n");
        for (const auto& r : outcome.recovered)
            text += QStringLiteral("%1 (%2 records)\n").arg(r.report).arg(r.records);
    }
    if (!outcome.failed.isEmpty()) {
        if (!text.isEmpty()) text += QLatin1Char('\n');
        text += QStringLiteral(
            "These recording journals could not be made into reports and were left as they "
            "are:\n");
        for (const auto& f : outcome.failed)
            text += QStringLiteral("%1: %2\n").arg(f.journal, f.reason);
    }
    return text.trimmed();
}

}  // namespace quillon
