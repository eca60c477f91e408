#include "window_state.h"

#include <QFileInfo>

#include "date_time_format.h"

namespace quillon {

namespace {

bool RecordingOpen(const Session& s) {
    return s.rec.nextRecord > 0 &&
           (s.controls.isChecked(Control::Start) || s.controls.isChecked(Control::Pause));
}

// The shown records are exactly the ones of the report file.
bool RecordsInFile(const Session& s) {
    return !s.rec.reportFile.isEmpty() && s.rec.reportRecords == s.table.recordCount();
}

QString StateText(const Session& s) {
    if (RecordingOpen(s)) {
        if (!s.rec.running) return QStringLiteral("Paused");
        // The same condition as the readout's "Recording waits for the meter".
        if (!s.link.linkOn || s.readout.stale) return QStringLiteral("Waiting for the meter");
        return QStringLiteral("Recording");
    }
    if (ShowsOpenedReport(s)) {
        const QString name = s.rec.reportFile.isEmpty() ? s.rec.recordName + ".csv"
                                                        : QFileInfo(s.rec.reportFile).fileName();
        return QStringLiteral("Viewing ") + name;
    }
    return QStringLiteral("Idle");
}

}  // namespace

StatusLine DescribeStatus(const Session& s, const QString& meterDevice) {
    StatusLine line;
    line.state = StateText(s);
    if (RecordingOpen(s)) {
        const int n = s.table.recordCount();
        line.records = QString::number(n) + (n == 1 ? " record" : " records");
        const QString& interval = s.readout.limitCaption[2];
        if (!interval.isEmpty()) line.records += ", interval " + interval;
    }
    line.port = s.link.linkOn && !meterDevice.isEmpty() ? meterDevice : QStringLiteral("No meter");
    const ScheduleState& sched = s.sched;
    if (sched.armed == 1 && !sched.scheduledRecordingRunning && sched.entryStart.isValid()) {
        const QString date =
            s.settings.dateTimeFormats[0].isEmpty() ? "yyyy/mm/dd" : s.settings.dateTimeFormats[0];
        const QString time =
            s.settings.dateTimeFormats[1].isEmpty() ? "HH:nn:ss" : s.settings.dateTimeFormats[1];
        line.schedule = "Next start " + FormatDateTime(sched.entryStart, date, time);
    }
    if (RecordsInFile(s) && !ShowsOpenedReport(s)) line.saved = "Saved to " + s.rec.reportFile;
    return line;
}

bool ClosingLosesRecords(const Session& s) {
    if (s.rec.recordName.isEmpty() || s.table.recordCount() == 0) return false;
    if (ShowsOpenedReport(s) || RecordsInFile(s)) return false;
    // Link Off stops the recording, and Stop saves an open recording unasked (also a
    // paused one whose state a file command changed): the same test as Stop's.
    const bool savedByStop = s.rec.state == kRunRecording || s.rec.nextRecord > 0;
    return !(savedByStop && SavesRecordingsAutomatically(s));
}

}  // namespace quillon
