#include "schedule.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>

#include "date_time_format.h"
#include "number_format.h"
#include "schedule_time.h"
#include "settings_record.h"

namespace quillon {

namespace {

QString EntryKey(int row) { return QStringLiteral("O%1").arg(row + 1); }

// An invalid date-time when the fields cannot form one; the check then never fires.
QDateTime EntryTime(const std::array<QString, 4>& fields, int first) {
    return ParseScheduleDateTime(fields[first], fields[first + 1]).value_or(QDateTime());
}

}  // namespace

void endScheduledRecording(Session& session) {
    ScheduleState& s = session.sched;
    s.currentEntry = qBound(1, s.currentEntry, 5);
    s.scheduledRecordingRunning = false;
    s.entryTicked[s.currentEntry - 1] = 0;
    s.bannerText.clear();
    s.bannerShown = false;
    for (int k = s.currentEntry; k < 5; ++k) {
        if (s.entryTicked[k] != 1) continue;
        s.currentEntry = k + 1;
        if (s.armed == 1) {
            s.entryStart = EntryTime(s.entryFields[k], 0);
            s.entryStop = EntryTime(s.entryFields[k], 2);
        }
        return;
    }
    s.armed = 0;
}

QString ScheduleBannerText(const QDateTime& stop) {
    const QLocale locale;
    return " ~ " + locale.toString(stop.date(), QLocale::ShortFormat) + " " +
           stop.time().toString(QStringLiteral("HH:mm:ss"));
}

Schedule::Schedule(Session& session, SettingsStore& store, Clock& clock, MessageBoxes& messages)
    : session_(session), store_(store), clock_(clock), messages_(messages) {}

std::optional<FieldFocus> Schedule::takeFocusRequest() {
    auto f = focus_;
    focus_.reset();
    return f;
}

bool Schedule::FieldValid(int row, int field) const {
    const QString& text = form_.fields[row][field];
    return field % 2 == 0 ? ParseScheduleDate(text).has_value()
                          : ParseScheduleTime(text).has_value();
}

void Schedule::Refuse(const QString& message, int row, int field) {
    messages_.show(message, Caption(), MsgButtons::Ok, MsgIcon::None);
    focus_ = FieldFocus{row, field};
    form_.ticked[row] = false;
}

void Schedule::load() {
    ScheduleState& s = session_.sched;
    saveQuietly_ = false;
    std::array<QString, 5> entries;
    bool any = false;
    for (int row = 0; row < 5; ++row) {
        entries[row] = store_.ReadSetting(EntryKey(row), QString());
        any = any || !entries[row].isEmpty();
    }
    if (any) {
        for (int row = 0; row < 5; ++row) {
            // A hand-edited entry with fewer parts leaves the missing fields empty.
            const QStringList parts =
                entries[row].isEmpty() ? QStringList() : entries[row].split(',');
            for (int f = 0; f < 4; ++f)
                form_.fields[row][f] = f < parts.size() ? parts[f] : QString();
        }
    } else {
        clear();
        saveQuietly_ = true;
        save();
        saveQuietly_ = false;
    }
    s.entryFields = form_.fields;

    const QString order = store_.ReadSetting("order", QString::number(s.armed));
    if (IsNumeric(order)) s.armed = int(RoundHalfEven(NumberOr(order, s.armed)));
    ck_ = store_.ReadSetting("ck", ck_);
    if (ck_.isEmpty()) ck_ = "00000";

    for (int i = 0; i < 5; ++i) {
        s.entryTicked[i] = DigitAt(ck_, i);
        form_.ticked[i] = s.entryTicked[i] == 1;
        // An enabled entry that cannot be read (a hand-edited store) is not armed; the
        // store is left as it is until the next Save.
        if (form_.ticked[i]) {
            for (int f = 0; f < 4; ++f) {
                if (FieldValid(i, f)) continue;
                form_.ticked[i] = false;
                s.entryTicked[i] = 0;
                break;
            }
        }
    }
    DropPastEntries();
    SelectCurrentEntry();

    const bool anyTicked =
        std::find(form_.ticked.begin(), form_.ticked.end(), true) != form_.ticked.end();
    if (!anyTicked) s.armed = 0;
    form_.start = s.armed != 0;

    const QDateTime now = clock_.now();
    const QString today = "( " + FormatDate(now.date(), "mm/dd/yyyy") + " )";
    form_.hints[0] = today;
    form_.hints[1] = today;
    form_.hints[2] = "( " + FormatTime(now.time(), "AM/PM hh:nn:ss") + " )";
    form_.hints[3] = "( " + FormatTime(now.addSecs(1).time(), "AM/PM hh:nn:ss") + " )";
}

void Schedule::DropPastEntries() {
    const QDateTime now = clock_.now();
    for (int i = 0; i < 5; ++i) {
        if (!form_.ticked[i]) continue;
        const QDateTime stop = EntryTime(form_.fields[i], 2);
        if (!stop.isValid() || SecondsBetween(now, stop) <= 0) {
            form_.ticked[i] = false;
            session_.sched.entryTicked[i] = 0;
        }
    }
}

void Schedule::SelectCurrentEntry() {
    ScheduleState& s = session_.sched;
    for (int i = 0; i < 5; ++i) {
        if (s.entryTicked[i] != 1) continue;
        s.currentEntry = i + 1;
        s.entryStart = EntryTime(s.entryFields[i], 0);
        s.entryStop = EntryTime(s.entryFields[i], 2);
        return;
    }
}

void Schedule::save() {
    ScheduleState& s = session_.sched;
    const int orderBefore = s.armed;
    s.armed = form_.start ? 1 : 0;
    s.entryFields = form_.fields;
    std::array<QString, 5> entries;
    for (int row = 0; row < 5; ++row) {
        for (const QString& f : form_.fields[row]) entries[row] += f + ",";
    }

    for (int row = 0; row < 5; ++row) {
        if (!form_.ticked[row]) continue;
        const QDateTime start = EntryTime(form_.fields[row], 0);
        const QDateTime stop = EntryTime(form_.fields[row], 2);
        bool ok = start.isValid() && stop.isValid() && SecondsBetween(start, stop) >= 1;
        if (ok && row > 0) {
            const QDateTime previousStop = EntryTime(form_.fields[row - 1], 2);
            ok = previousStop.isValid() && SecondsBetween(previousStop, start) >= 1;
        }
        if (!ok) {
            // A refused Save must not arm a schedule that was not armed: the entry times
            // in memory may be stale and would start a recording at once.
            if (form_.start) s.armed = orderBefore;
            Refuse(InputErrorMessage(), row, 0);
            return;
        }
    }

    DropPastEntries();
    ck_.clear();
    for (int i = 0; i < 5; ++i) {
        s.entryTicked[i] = form_.ticked[i] ? 1 : 0;
        ck_ += form_.ticked[i] ? "1" : "0";
    }
    SelectCurrentEntry();
    if (ck_ == "00000") {
        s.armed = 0;
        form_.start = false;
    }

    store_.WriteSetting("order", QString::number(s.armed));
    store_.WriteSetting("ck", ck_);
    for (int row = 0; row < 5; ++row) store_.WriteSetting(EntryKey(row), entries[row]);

    if (saveQuietly_) return;
    if (store_.writable()) {
        messages_.show(SavedMessage(), Caption(), MsgButtons::Ok, MsgIcon::None);
    } else if (const auto problem = store_.TakeProblemMessage("The schedule")) {
        // Never report a schedule that will be lost at exit as saved; the store's problem
        // is told once.
        messages_.show(*problem, Caption(), MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

void Schedule::clear() {
    form_.start = false;
    form_.ticked.fill(false);
    for (auto& row : form_.fields) row.fill(QString());
}

void Schedule::setEntryTicked(int row, bool ticked) {
    if (row < 0 || row >= 5) return;
    form_.ticked[row] = ticked;
    ScheduleState& s = session_.sched;
    if (!ticked) {
        if (row == s.currentEntry - 1 && s.scheduledRecordingRunning) endScheduledRecording();
        return;
    }
    for (int f = 0; f < 4; ++f) {
        if (FieldValid(row, f)) continue;
        const bool empty = form_.fields[row][f].isEmpty();
        Refuse(empty ? MissingFieldMessage() : InputErrorMessage(), row, f);
        return;
    }
}

void Schedule::setEntryField(int row, int field, const QString& text) {
    if (row < 0 || row >= 5 || field < 0 || field >= 4) return;
    if (form_.fields[row][field] == text) return;
    form_.fields[row][field] = text;
    if (form_.ticked[row]) setEntryTicked(row, false);
}

void Schedule::scheduleCheck() {
    ScheduleState& s = session_.sched;
    if (s.armed != 1) return;
    const QDateTime now = clock_.now();
    if (!s.scheduledRecordingRunning && s.entryStart.isValid() && s.entryStop.isValid() &&
        SecondsBetween(now, s.entryStart) <= 0) {
        Call(session_.hooks.startRecording);
        s.scheduledRecordingRunning = true;
        s.bannerShown = true;
        s.bannerText = ScheduleBannerText(s.entryStop);
    }
    if (s.scheduledRecordingRunning && SecondsBetween(now, s.entryStop) < 0) {
        // The stop command still sees scheduledRecordingRunning, so the report is saved
        // automatically, and it ends the entry itself through endScheduledRecording; end it here
        // when it did not.
        Call(session_.hooks.stopRecording);
        if (s.scheduledRecordingRunning) endScheduledRecording();
        s.scheduledRecordingRunning = false;
        s.bannerText.clear();
        s.bannerShown = false;
    }
}

}  // namespace quillon
