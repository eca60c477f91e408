#pragma once
// Sessions holding a small DCV recording, and file helpers.
#include <QFile>
#include <QTemporaryDir>
#include <QTime>

#include "report_writer.h"
#include "session.h"

namespace quillon::test {

// Records one second apart from 2024/05/01 10:00:00, named 20240501_100000.
inline void FillRecording(Session& s, const QString& title, const QStringList& values) {
    s.settings.graphTitle = title;
    s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
    s.rec.recordedFunction = 2;
    s.rec.recordedRange = 1;
    s.rec.recordName = "20240501_100000";
    s.stats.maxRow = {"1.234", "V", "10:00:01"};
    s.stats.minRow = {"1.230", "V", "10:00:00"};
    s.stats.avgRow = {"1.232", "V"};
    s.table.setRows(1);
    s.table.setRows(2);
    const QStringList header = {"NO", "Date", "Time", "Value", "Unit"};
    for (int c = 0; c < 5; ++c) s.table.setCell(0, c, header[c]);
    for (int row = 1; row <= values.size(); ++row) {
        const QString time = QTime(10, 0).addSecs(row - 1).toString("HH:mm:ss");
        const QString cells[] = {QString::number(row).rightJustified(4, '0'), "2024/05/01", time,
                                 values[row - 1], "V"};
        for (int c = 0; c < 5; ++c) s.table.setCell(row, c, cells[c]);
        s.table.addRow();
    }
}

inline void MakeBenchTest(Session& s) { FillRecording(s, "Bench test", {"1.230", "1.234"}); }

inline void MakeRecording(Session& s, int n) {
    QStringList values;
    for (int i = 0; i < n; ++i) values << QString::number((i % 10000) / 1000.0, 'f', 3);
    FillRecording(s, "Long run", values);
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QString RowText(const Session& s, int row) {
    QStringList cells;
    for (int c = 0; c < 5; ++c) cells << s.table.cell(row, c);
    return cells.join('|');
}

inline QString WriteRecordingFile(const QString& path, int n) {
    Session source;
    MakeRecording(source, n);
    return WriteReport(source, path).ok ? path : QString();
}

}  // namespace quillon::test
