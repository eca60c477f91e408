#include "report_writer.h"

#include <QFileInfo>
#include <QSaveFile>

#include "meter_tables.h"
#include "one_line_text.h"

namespace quillon {

namespace {

const char kSep[] = ", ";
const char kEol[] = "\r\n";

void AppendLine(QByteArray& out, const QString& line) {
    out += line.toUtf8();
    out += kEol;
}

QString TypeField(int func, int range) {
    return FunctionTable(func) + QStringLiteral("_(") +
           QString::number(func).rightJustified(2, '0') + QString::number(range) + QLatin1Char(')');
}

}  // namespace

QByteArray ReportBytes(const Session& s) {
    const RecordTable& t = s.table;
    const int records = t.recordCount();
    QByteArray out;
    out.reserve(256 + records * 48);

    // A line break in the title would shift every later line of the file.
    AppendLine(out, QStringLiteral("Title") + kSep + OnOneLine(s.settings.graphTitle));
    AppendLine(out, QStringLiteral("Type") + kSep +
                        TypeField(s.rec.recordedFunction, s.rec.recordedRange));
    AppendLine(out, QStringLiteral("MAX") + kSep + s.stats.maxRow[0] + kSep + s.stats.maxRow[1] +
                        kSep + s.stats.maxRow[2]);
    AppendLine(out, QStringLiteral("MIN") + kSep + s.stats.minRow[0] + kSep + s.stats.minRow[1] +
                        kSep + s.stats.minRow[2]);
    AppendLine(out, QStringLiteral("AVG.") + kSep + s.stats.avgRow[0] + kSep + s.stats.avgRow[1]);
    out += kEol;
    AppendLine(out, QStringLiteral("No, Date, Time, Value, Unit"));

    for (int row = 1; row <= records; ++row) {
        out += ' ';
        for (int col = 0; col < RecordTable::kColumns; ++col) {
            if (col > 0) out += kSep;
            out += t.cell(row, col).toUtf8();
        }
        out += kEol;
    }
    return out;
}

WriteResult WriteReport(const Session& session, const QString& path) {
    WriteResult result;
    if (QFileInfo(path).isDir()) {
        result.errorText = path + QStringLiteral(": this is a folder, not a file");
        return result;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.errorText = path + QStringLiteral(": ") + file.errorString();
        return result;
    }
    const QByteArray bytes = ReportBytes(session);
    if (file.write(bytes) != bytes.size()) {
        result.errorText = path + QStringLiteral(": ") + file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.errorText = path + QStringLiteral(": ") + file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace quillon
