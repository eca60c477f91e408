#include "recording_journal.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "journal_format.h"
#include "journal_syncer.h"

namespace quillon {

namespace {

constexpr int kMaxNameTries = 100;

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Makes the folder's entries (a new or removed file) survive a power cut.
void SyncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Gives `from` the name `to` unless a file has that name (errno EEXIST then).
bool RenameNoReplace(const QByteArray& from, const QByteArray& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    // A file system without it: a second name never replaces a file either.
    if (::link(from.constData(), to.constData()) != 0) return false;
    ::unlink(from.constData());
    return true;
}

// A record name as part of a file name: never a path.
QString FileNameOf(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1String("recording"));
    return name;
}

}  // namespace

RecordingJournal::RecordingJournal(QString folder) : folder_(std::move(folder)) {}

RecordingJournal::~RecordingJournal() { closeFile(false); }

QString RecordingJournal::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + "/.local/state";
    return state + "/quillon";
}

void RecordingJournal::startRecording(const Session& session) {
    recordName_ = session.rec.recordName;
    header_.clear();
    header_ += journal::kFirstLine;
    header_ += '\n';
    journal::AppendLine(header_, journal::kNameTag, {recordName_});
    body_.clear();
    rows_ = 0;
    written_ = 0;
    settings_.clear();
}

void RecordingJournal::addSettingsLineIfChanged(const Session& s) {
    const auto& shown = s.stats.statFlags;
    const QString flags =
        QString("%1%2%3").arg(shown[0] ? 1 : 0).arg(shown[1] ? 1 : 0).arg(shown[2] ? 1 : 0);
    // Compared field by field first: the common case builds no list.
    if (settings_.size() == journal::kSettingsFields && settings_[0] == s.settings.graphTitle &&
        settings_[1] == s.settings.dateTimeFormats[0] &&
        settings_[2] == s.settings.dateTimeFormats[1] && settings_[3] == flags)
        return;
    settings_ = {s.settings.graphTitle, s.settings.dateTimeFormats[0],
                 s.settings.dateTimeFormats[1], flags};
    journal::AppendLine(body_, journal::kSettingsTag, settings_);
}

void RecordingJournal::append(const Session& s, int row) {
    if (row < 1 || ended_) return;
    // A different recording than the one journalled (its table went without a word):
    // the old file stays for recovery.
    if (row <= rows_ || s.rec.recordName != recordName_ || header_.isEmpty()) {
        closeFile(false);
        startRecording(s);
    }
    released_ = false;
    addSettingsLineIfChanged(s);
    const RecordTable& t = s.table;
    const Reading& in = s.reading;
    for (int r = rows_ + 1; r <= row; ++r) {
        journal::AppendLine(body_, journal::kRecordTag,
                            {QString::number(in.function), QString::number(in.range),
                             QString::number(double(in.decimalIndex)), s.readout.unit,
                             t.cell(r, RecordTable::ColNo), t.cell(r, RecordTable::ColDate),
                             t.cell(r, RecordTable::ColTime), t.cell(r, RecordTable::ColValue),
                             t.cell(r, RecordTable::ColUnit)});
    }
    rows_ = row;

    if (fd_ < 0 && !openFile()) return;
    if (!writeAll(body_.constData() + written_, body_.size() - written_)) return;
    written_ = body_.size();
    error_.clear();
    if (syncer_) syncer_->written();
}

bool RecordingJournal::openFile() {
    if (!QDir().mkpath(folder_)) {
        fail(folder_ + ": the folder cannot be made");
        return false;
    }
    QFile::setPermissions(folder_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The file is made and locked under a name recovery passes over, and takes its own
    // name only once locked with its first lines in: recovery never finds the journal of
    // a running recording unlocked.
    QByteArray part = QFile::encodeName(folder_ + "/" + journal::kPartPrefix + "XXXXXX");
    const int fd = ::mkostemp(part.data(), O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        fail(folder_ + ": " + ErrnoText());
        return false;
    }
    fd_ = fd;
    path_ = QFile::decodeName(part);
    written_ = 0;
    fileSize_ = 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        fail(path_ + ": the file cannot be locked: " + ErrnoText());
        closeFile(true);
        return false;
    }
    if (!writeAll(header_.constData(), header_.size())) {
        closeFile(true);
        return false;
    }
    const QString base = folder_ + "/" + FileNameOf(recordName_);
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const QString path = base + (n == 1 ? QString() : QString("-%1").arg(n)) +
                             QLatin1String(journal::kFileSuffix);
        if (RenameNoReplace(part, QFile::encodeName(path))) {
            path_ = path;
            syncer_ = std::make_unique<JournalSyncer>([fd] { ::fdatasync(fd); },
                                                      [folder = folder_] { SyncFolder(folder); });
            return true;
        }
        if (errno == EEXIST) continue;
        fail(path + ": " + ErrnoText());
        closeFile(true);
        return false;
    }
    fail(base + QLatin1String(journal::kFileSuffix) + ": no free file name");
    closeFile(true);
    return false;
}

bool RecordingJournal::writeAll(const char* p, qint64 size) {
    qint64 left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A part of a line (a full disk) is taken back, so the file still ends with
            // whole lines and the next try appends after them.
            const QString why = n == 0 ? QStringLiteral("nothing was written") : ErrnoText();
            if (::ftruncate(fd_, fileSize_) != 0) closeFile(false);
            fail(path_ + ": " + why);
            return false;
        }
        p += n;
        left -= n;
    }
    fileSize_ += size;
    return true;
}

void RecordingJournal::closeFile(bool remove) {
    if (fd_ < 0) return;
    // The worker syncs the descriptor: it ends before the descriptor closes.
    if (syncer_) syncer_->finish(!remove);
    syncer_.reset();
    if (remove) {
        ::unlink(QFile::encodeName(path_).constData());
        SyncFolder(folder_);
    }
    ::close(fd_);
    fd_ = -1;
    written_ = 0;
}

void RecordingJournal::forgetRecording() {
    header_.clear();
    body_.clear();
    recordName_.clear();
    rows_ = 0;
    settings_.clear();
    released_ = false;
}

void RecordingJournal::reportSaved() {
    closeFile(true);
    released_ = true;
}

void RecordingJournal::saveDeclined() { released_ = true; }

void RecordingJournal::tableCleared() {
    closeFile(released_);
    forgetRecording();
}

void RecordingJournal::programEnding() {
    tableCleared();
    ended_ = true;
}

void RecordingJournal::fail(const QString& why) {
    if (why != error_) qWarning("quillon: the recording is not journalled: %s", qPrintable(why));
    error_ = why;
}

}  // namespace quillon
