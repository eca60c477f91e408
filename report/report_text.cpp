#include "report_text.h"

#include <QStringDecoder>

namespace quillon {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes it leaves undefined keep their C1 code.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeCp1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

}  // namespace

QString DecodeReportBytes(const QByteArray& bytes) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) return text;
    // Line by line: a report of this program edited in an 8-bit editor holds UTF-8 lines
    // ("KΩ") beside Windows-1252 ones ("°C"); each keeps its own symbols.
    text.clear();
    text.reserve(body.size());
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype end = body.indexOf('\n', start);
        end = end < 0 ? body.size() : end + 1;
        const QByteArray line = body.mid(start, end - start);
        QStringDecoder lineDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = lineDecoder.decode(line);
        text += lineDecoder.hasError() ? DecodeCp1252(line) : decoded;
        start = end;
    }
    return text;
}

QStringList SplitFields(const QString& line, int maxFields) {
    static const QString kSep = QStringLiteral(", ");
    QStringList fields;
    qsizetype start = 0;
    while (fields.size() < maxFields - 1) {
        const qsizetype at = line.indexOf(kSep, start);
        if (at < 0) break;
        fields.append(line.mid(start, at - start).trimmed());
        start = at + kSep.size();
    }
    fields.append(line.mid(start).trimmed());
    return fields;
}

}  // namespace quillon
