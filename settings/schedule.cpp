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

void or_stp(Session& session) {
    ScheduleState& s = session.sched;
    s.SchedEntry = qBound(1, s.SchedEntry, 5);
    s.SchedRunning = false;
    s.SchedEnabled[s.SchedEntry - 1] = 0;
    s.bannerText.clear();
    s.bannerShown = false;
    for (int k = s.SchedEntry; k < 5; ++k) {
        if (s.SchedEnabled[k] != 1) continue;
        s.SchedEntry = k + 1;
        if (s.order == 1) {
            s.SchedStart = EntryTime(s.SchedFields[k], 0);
            s.SchedStop = EntryTime(s.SchedFields[k], 2);
        }
        return;
    }
    s.order = 0;
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

void Schedule::Form_Load() {
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
        Command3_Click();
        saveQuietly_ = true;
        Command1_Click();
        saveQuietly_ = false;
    }
    s.SchedFields = form_.fields;

    const QString order = store_.ReadSetting("order", QString::number(s.order));
    if (IsNumeric(order)) s.order = int(RoundHalfEven(NumberOr(order, s.order)));
    ck_ = store_.ReadSetting("ck", ck_);
    if (ck_.isEmpty()) ck_ = "00000";

    for (int i = 0; i < 5; ++i) {
        s.SchedEnabled[i] = DigitAt(ck_, i);
        form_.ticked[i] = s.SchedEnabled[i] == 1;
        // An enabled entry that cannot be read (a hand-edited store) is not armed; the
        // store is left as it is until the next Save.
        if (form_.ticked[i]) {
            for (int f = 0; f < 4; ++f) {
                if (FieldValid(i, f)) continue;
                form_.ticked[i] = false;
                s.SchedEnabled[i] = 0;
                break;
            }
        }
    }
    DropPastEntries();
    SelectCurrentEntry();

    const bool anyTicked =
        std::find(form_.ticked.begin(), form_.ticked.end(), true) != form_.ticked.end();
    if (!anyTicked) s.order = 0;
    form_.start = s.order != 0;

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
            session_.sched.SchedEnabled[i] = 0;
        }
    }
}

void Schedule::SelectCurrentEntry() {
    ScheduleState& s = session_.sched;
    for (int i = 0; i < 5; ++i) {
        if (s.SchedEnabled[i] != 1) continue;
        s.SchedEntry = i + 1;
        s.SchedStart = EntryTime(s.SchedFields[i], 0);
        s.SchedStop = EntryTime(s.SchedFields[i], 2);
        return;
    }
}

void Schedule::Command1_Click() {
    ScheduleState& s = session_.sched;
    const int orderBefore = s.order;
    s.order = form_.start ? 1 : 0;
    s.SchedFields = form_.fields;
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
            if (form_.start) s.order = orderBefore;
            Refuse(InputErrorMessage(), row, 0);
            return;
        }
    }

    DropPastEntries();
    ck_.clear();
    for (int i = 0; i < 5; ++i) {
        s.SchedEnabled[i] = form_.ticked[i] ? 1 : 0;
        ck_ += form_.ticked[i] ? "1" : "0";
    }
    SelectCurrentEntry();
    if (ck_ == "00000") {
        s.order = 0;
        form_.start = false;
    }

    store_.WriteSetting("order", QString::number(s.order));
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

void Schedule::Command3_Click() {
    form_.start = false;
    form_.ticked.fill(false);
    for (auto& row : form_.fields) row.fill(QString());
}

void Schedule::Check1_Click(int row, bool ticked) {
    if (row < 0 || row >= 5) return;
    form_.ticked[row] = ticked;
    ScheduleState& s = session_.sched;
    if (!ticked) {
        if (row == s.SchedEntry - 1 && s.SchedRunning) or_stp();
        return;
    }
    for (int f = 0; f < 4; ++f) {
        if (FieldValid(row, f)) continue;
        const bool empty = form_.fields[row][f].isEmpty();
        Refuse(empty ? MissingFieldMessage() : InputErrorMessage(), row, f);
        return;
    }
}

void Schedule::Text_Change(int row, int field, const QString& text) {
    if (row < 0 || row >= 5 || field < 0 || field >= 4) return;
    if (form_.fields[row][field] == text) return;
    form_.fields[row][field] = text;
    if (form_.ticked[row]) Check1_Click(row, false);
}

void Schedule::ScheduleCheck() {
    ScheduleState& s = session_.sched;
    if (s.order != 1) return;
    const QDateTime now = clock_.now();
    if (!s.SchedRunning && s.SchedStart.isValid() && s.SchedStop.isValid() &&
        SecondsBetween(now, s.SchedStart) <= 0) {
        Call(session_.hooks.mnstart_Click);
        s.SchedRunning = true;
        s.bannerShown = true;
        s.bannerText = ScheduleBannerText(s.SchedStop);
    }
    if (s.SchedRunning && SecondsBetween(now, s.SchedStop) < 0) {
        // The stop command still sees SchedRunning, so the report is saved automatically,
        // and it ends the entry itself through or_stp; end it here when it did not.
        Call(session_.hooks.mnstop_Click);
        if (s.SchedRunning) or_stp();
        s.SchedRunning = false;
        s.bannerText.clear();
        s.bannerShown = false;
    }
}

}  // namespace quillon
