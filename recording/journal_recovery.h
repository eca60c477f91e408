#pragma once
// Recovery at start-up: every journal a recording left behind (the program was killed,
// the session ended, the power failed) becomes a report in the save folder, named after
// the recording with "_recovered" before ".csv" ("_recovered_2.csv", ... when that name
// is taken). MAX, MIN and AVG come from replaying the records through the same record
// bookkeeping and statistics a live recording uses, so the report is the one a save at
// that moment would have written.
//
// A journal is removed only once its report is on disk; one that cannot be read or
// written stays, and the outcome says why. A torn last line (killed mid-write) is
// dropped. Journals another running program holds are left alone, and so are journals
// still being made; only those a crash left half-made over a day ago are removed.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "session.h"

namespace quillon {

// What recovery needs from the statistics and the report writer; the program connects
// them (StatisticsCalc, WriteReport), so this layer links neither.
struct RecoveryCalls {
    // MAX, MIN and AVG after the newest record of the session's table.
    std::function<void(Session&)> updateStatistics;
    // Writes the session's report to path: "" when done, otherwise why not.
    std::function<QString(const Session&, const QString& path)> writeReport;
};

struct RecoveryOutcome {
    struct Recovered {
        QString journal;
        QString report;
        int records = 0;
    };
    struct Failed {
        QString journal;
        QString reason;
    };
    QVector<Recovered> recovered;
    QVector<Failed> failed;
};

// Recovers every journal ("*.journal") in journalFolder into the first of saveFolders
// that takes the report (missing folders are made).
RecoveryOutcome RecoverJournals(const QString& journalFolder, const QStringList& saveFolders,
                                const RecoveryCalls& calls);

// The text of the one message that tells the user what was recovered where, and what
// was not and why; "" when there was nothing to recover.
QString RecoveryMessage(const RecoveryOutcome& outcome);

// Fills a fresh session with the recording a journal holds, as the table and statistics
// stood after its last whole record. Returns "" on success, otherwise why the journal
// cannot be read; *records is the number of records replayed.
QString ReplayJournal(const QByteArray& bytes, Session& session, const RecoveryCalls& calls,
                      int* records);

}  // namespace quillon
