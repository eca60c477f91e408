#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quillon {

namespace {
const QString kSection = QStringLiteral("kvr3318");
const QString kApplicationFile = QStringLiteral("regtest.ini");
const QString kForeignLine = QStringLiteral("a line of it is not of the form key=value");

QString Qualified(const QString& key) { return kSection + QLatin1Char('/') + key; }

// Why an existing file cannot be read, or nothing when it can.
QString ReadProblemOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    if (info.isDir()) return QStringLiteral("this is a folder, not a file");
    // Opening a named pipe would wait for a writer.
    if (!info.isFile()) return QStringLiteral("this is not a plain file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    return {};
}

// An INI value as written in the file: quotes around parts removed, escapes read.
QString UnquotedIniText(const QString& raw) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar e = raw[++i];
            out += e == QLatin1Char('n')   ? QChar('\n')
                   : e == QLatin1Char('r') ? QChar('\r')
                   : e == QLatin1Char('t') ? QChar('\t')
                                           : e;
        } else {
            out += c;
        }
    }
    return out;
}
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
    readProblem_ = ReadProblemOf(iniPath);
    if (!readProblem_.isEmpty()) return;
    ini_ = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    ini_->allKeys();  // the file is parsed when first looked at; its status follows
    if (ini_->status() == QSettings::AccessError) {
        readProblem_ = QStringLiteral("access denied");
        ini_.reset();
    } else if (ini_->status() == QSettings::FormatError) {
        // The values around a line the INI reader does not understand (a "# note") are
        // read; a write would drop that line, so the file is left alone.
        keptAsIs_ = true;
    }
}

SettingsStore::~SettingsStore() = default;

// The text after "key=" in the store's section of the file itself, for values that the
// INI reader splits at their commas.
QString SettingsStore::RawFileValue(const QString& key) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    const QString wanted = QLatin1Char('[') + kSection + QLatin1Char(']');
    bool inSection = false;
    QString value;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == wanted;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inSection && eq > 0 && line.left(eq).trimmed() == key)
            value = UnquotedIniText(line.mid(eq + 1).trimmed());
    }
    return value;
}

QString SettingsStore::ReadSetting(const QString& key, const QString& defaultText) const {
    if (unsaved_.contains(key)) return unsaved_.value(key);
    if (!ini_) return defaultText;
    const QVariant value = ini_->value(Qualified(key));
    if (!value.isValid()) return defaultText;
    // A hand-edited unquoted value with commas comes back from the INI reader as a list
    // with the blanks after the commas gone; the file holds the text as written.
    if (value.userType() == QMetaType::QStringList) return RawFileValue(key);
    return value.toString();
}

void SettingsStore::WriteSetting(const QString& key, const QString& text) {
    if (!ini_ || keptAsIs_) {
        unsaved_.insert(key, text);
        return;
    }
    ini_->setValue(Qualified(key), text);
    if (batchDepth_ == 0) flush();
}

void SettingsStore::flush() {
    if (!ini_ || keptAsIs_) return;
    ini_->sync();
    if (ini_->status() != QSettings::NoError) NoteWriteProblem();
}

// QSettings does not say why a write failed; trying to write beside the file does.
void SettingsStore::NoteWriteProblem() {
    if (!writeProblem_.isEmpty()) return;
    QSaveFile probe(path_);
    if (probe.open(QIODevice::WriteOnly)) {
        probe.cancelWriting();
        writeProblem_ = QStringLiteral("the file could not be written");
    } else {
        writeProblem_ = probe.errorString();
    }
}

bool SettingsStore::contains(const QString& key) const {
    return unsaved_.contains(key) || (ini_ && ini_->contains(Qualified(key)));
}

bool SettingsStore::writable() const { return ini_ && !keptAsIs_ && writeProblem_.isEmpty(); }

QString SettingsStore::UnwritableMessage(const QString& what) const {
    QString reason = writeProblem_.isEmpty() ? readProblem_ : writeProblem_;
    if (reason.isEmpty() && keptAsIs_) reason = kForeignLine;
    return what + " could not be written to " + path_ + " (" + reason +
           "). They apply until the program ends; check that the folder is writable.";
}

std::optional<QString> SettingsStore::TakeProblemMessage(const QString& what) {
    if (problemTold_) return std::nullopt;
    if (!readProblem_.isEmpty()) {
        problemTold_ = true;
        return "The settings file " + path_ + " could not be read (" + readProblem_ +
               "). The program goes on with default settings and leaves that file as it is.";
    }
    if (keptAsIs_) {
        problemTold_ = true;
        return "The settings file " + path_ + " is left as it is because " + kForeignLine +
               ". The values it holds apply; changes made now apply until the program ends.";
    }
    if (!writeProblem_.isEmpty()) {
        problemTold_ = true;
        return UnwritableMessage(what);
    }
    return std::nullopt;
}

}  // namespace quillon
