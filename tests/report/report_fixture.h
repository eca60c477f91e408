#pragma once
// A session holding a small recording, and helpers for files in a temporary folder.

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTime>
#include <QVector>

#include "session.h"

namespace quillon::test {

struct RecordRow {
    QString date, time, value, unit;
};

inline void FillRecords(Session& s, const QVector<RecordRow>& records) {
    s.table.setRows(1);
    s.table.setRows(2);
    const QStringList header = {"NO", "Date", "Time", "Value", "Unit"};
    for (int c = 0; c < 5; ++c) s.table.setCell(0, c, header[c]);
    int row = 1;
    for (const RecordRow& r : records) {
        s.table.setCell(row, 0, QString::number(row).rightJustified(4, '0'));
        s.table.setCell(row, 1, r.date);
        s.table.setCell(row, 2, r.time);
        s.table.setCell(row, 3, r.value);
        s.table.setCell(row, 4, r.unit);
        s.table.addRow();
        ++row;
    }
}

// The two-record DCV recording of the report format's own example.
inline void MakeBenchTest(Session& s) {
    s.settings.Graph_txt = "Bench test";
    s.settings.Fdt = {"yyyy/mm/dd", "HH:nn:ss"};
    s.rec.RecFunc = 2;
    s.rec.RecRange = 1;
    s.rec.recordName = "20240501_100000";
    s.stats.maxRow = {"1.234", "V", "10:00:01"};
    s.stats.minRow = {"1.230", "V", "10:00:00"};
    s.stats.avgRow = {"1.232", "V"};
    FillRecords(
        s, {{"2024/05/01", "10:00:00", "1.230", "V"}, {"2024/05/01", "10:00:01", "1.234", "V"}});
}

// n records one second apart, starting 2024/05/01 10:00:00.
inline void MakeRecording(Session& s, int n) {
    s.settings.Graph_txt = "Long run";
    s.settings.Fdt = {"yyyy/mm/dd", "HH:nn:ss"};
    s.rec.RecFunc = 2;
    s.rec.RecRange = 1;
    s.rec.recordName = "20240501_100000";
    s.stats.maxRow = {"9.999", "V", "10:00:01"};
    s.stats.minRow = {"0.000", "V", "10:00:00"};
    s.stats.avgRow = {"5.000", "V"};
    QVector<RecordRow> records;
    records.reserve(n);
    const QTime start(10, 0, 0);
    for (int i = 0; i < n; ++i) {
        records.push_back({"2024/05/01", start.addSecs(i).toString("HH:mm:ss"),
                           QString::number((i % 10000) / 1000.0, 'f', 3), "V"});
    }
    FillRecords(s, records);
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace quillon::test
