#include "journal_format.h"

namespace quillon::journal {

namespace {

void AppendEscaped(QByteArray& out, const QString& field) {
    const QByteArray utf8 = field.toUtf8();
    for (const char c : utf8) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
}

bool Unescape(const QByteArray& raw, QString* field) {
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i >= raw.size()) return false;
        switch (raw.at(i)) {
            case '\\':
                bytes += '\\';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 'n':
                bytes += '\n';
                break;
            default:
                return false;
        }
    }
    *field = QString::fromUtf8(bytes);
    return true;
}

}  // namespace

void AppendLine(QByteArray& out, const char* tag, const QStringList& fields) {
    out += tag;
    for (const QString& f : fields) {
        out += '\t';
        AppendEscaped(out, f);
    }
    out += '\n';
}

bool SplitLine(const QByteArray& line, QByteArray* tag, QStringList* fields) {
    const QList<QByteArray> parts = line.split('\t');
    *tag = parts.first();
    fields->clear();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QString f;
        if (!Unescape(parts.at(i), &f)) return false;
        fields->append(f);
    }
    return true;
}

}  // namespace quillon::journal
