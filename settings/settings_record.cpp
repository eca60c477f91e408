#include "settings_record.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "date_time_format.h"
#include "number_format.h"
#include "one_line_text.h"

namespace quillon {

namespace {

// The stored text as a number when it is one and lies in [lo, hi]; otherwise nothing,
// and the caller keeps the field's value.
std::optional<double> StoredNumber(const SettingsStore& store, const QString& key, double lo,
                                   double hi) {
    const QString text = store.ReadSetting(key, QString());
    if (text.isNull() || !IsNumeric(text)) return std::nullopt;
    const double v = NumberOr(text, std::numeric_limits<double>::quiet_NaN());
    if (!std::isfinite(v)) return std::nullopt;
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

void ReadWhole(const SettingsStore& store, const QString& key, int& field, double lo = -32768,
               double hi = 32767) {
    // Rounded before the range test, as the value the field would really take.
    const auto v = StoredNumber(store, key, -1e18, 1e18);
    if (!v) return;
    const double r = RoundHalfEven(*v);
    if (r < lo || r > hi) return;
    field = int(r);
}

void ReadSingle(const SettingsStore& store, const QString& key, float& field) {
    const double maxSingle = std::numeric_limits<float>::max();
    if (const auto v = StoredNumber(store, key, -maxSingle, maxSingle)) field = float(*v);
}

void ReadText(const SettingsStore& store, const QString& key, QString& field) {
    field = store.ReadSetting(key, field);
}

// A display format must be one the lists offer; anything else would write empty or
// strange date and time cells.
void KeepListedFormat(QString& field, const QStringList& listed, const QString& fallback) {
    if (!listed.contains(field)) field = fallback;
}

QString Whole(int v) { return QString::number(v); }

}  // namespace

const QStringList& SettingsKeys() {
    static const QStringList keys = {"autoScan",    "comp",        "sav_Auto",     "Sav_Drv",
                                     "T1_beep",     "limit_selet", "limit_txt_0",  "limit_txt_1",
                                     "Graph_Title", "Graph_txt",   "Graph_range",  "Tick_Dn",
                                     "Tick_UP",     "OL_stop",     "IntTime",      "Fdt_0",
                                     "Fdt_1",       "Mav",         "keepRecording"};
    return keys;
}

QString LoadSettings(Session& session, SettingsStore& store) {
    Settings& s = session.settings;
    ReadWhole(store, "autoScan", s.autoScan);
    ReadWhole(store, "comp", s.configuredPort, 0, 256);
    ReadWhole(store, "sav_Auto", s.autoSave);
    ReadText(store, "Sav_Drv", s.saveFolder);
    ReadWhole(store, "T1_beep", s.alarmEnabled);
    ReadWhole(store, "limit_selet", s.limitsTested);
    ReadText(store, "limit_txt_0", s.limitTexts[0]);
    ReadText(store, "limit_txt_1", s.limitTexts[1]);
    ReadWhole(store, "Graph_Title", s.showGraphTitle);
    ReadText(store, "Graph_txt", s.graphTitle);
    s.graphTitle = OnOneLine(s.graphTitle);
    ReadWhole(store, "Graph_range", s.graphRangeMode, 0, 2);
    ReadSingle(store, "Tick_Dn", s.graphBottom);
    ReadSingle(store, "Tick_UP", s.graphTop);
    ReadWhole(store, "OL_stop", s.stopOnOverload);
    {
        // The dialog stores no interval below 0; a negative one would show as "-00:-01".
        int intTime = s.recordIntervalMs;
        ReadWhole(store, "IntTime", intTime, 0, std::numeric_limits<qint32>::max());
        s.recordIntervalMs = intTime;
    }
    ReadText(store, "Fdt_0", s.dateTimeFormats[0]);
    ReadText(store, "Fdt_1", s.dateTimeFormats[1]);
    ReadWhole(store, "keepRecording", s.keepRecording, 0, 1);
    // A missing, empty or unlisted format falls back to its own default alone.
    KeepListedFormat(s.dateTimeFormats[0], DateFormats(), kDefaultDateFormat);
    KeepListedFormat(s.dateTimeFormats[1], TimeFormats(), kDefaultTimeFormat);
    return store.ReadSetting("Mav", QString());
}

void SaveSettings(const Session& session, SettingsStore& store) {
    const Settings& s = session.settings;
    const auto& f = session.stats.statFlags;
    store.WriteSetting("autoScan", Whole(s.autoScan));
    store.WriteSetting("comp", Whole(s.configuredPort));
    store.WriteSetting("sav_Auto", Whole(s.autoSave));
    store.WriteSetting("Sav_Drv", s.saveFolder);
    store.WriteSetting("T1_beep", Whole(s.alarmEnabled));
    store.WriteSetting("limit_selet", Whole(s.limitsTested));
    store.WriteSetting("limit_txt_0", s.limitTexts[0]);
    store.WriteSetting("limit_txt_1", s.limitTexts[1]);
    store.WriteSetting("Graph_Title", Whole(s.showGraphTitle));
    store.WriteSetting("Graph_txt", s.graphTitle);
    store.WriteSetting("Graph_range", Whole(s.graphRangeMode));
    store.WriteSetting("Tick_Dn", PlainSingle(s.graphBottom));
    store.WriteSetting("Tick_UP", PlainSingle(s.graphTop));
    store.WriteSetting("OL_stop", Whole(s.stopOnOverload));
    store.WriteSetting("IntTime", QString::number(s.recordIntervalMs));
    store.WriteSetting("Fdt_0", s.dateTimeFormats[0]);
    store.WriteSetting("Fdt_1", s.dateTimeFormats[1]);
    store.WriteSetting("Mav",
                       QString("%1%2%3").arg(f[0] ? 1 : 0).arg(f[1] ? 1 : 0).arg(f[2] ? 1 : 0));
    store.WriteSetting("keepRecording", Whole(s.keepRecording));
}

void SavePortOnExit(SettingsStore& store, int port) { store.WriteSetting("comp", Whole(port)); }

int DigitAt(const QString& text, int i) {
    if (i < 0 || i >= text.size()) return 0;
    const QChar c = text.at(i);
    return c.isDigit() ? c.digitValue() : 0;
}

void ApplyMav(Session& session, const QString& mav) {
    for (int i = 0; i < 3; ++i) session.stats.statFlags[i] = DigitAt(mav, i) != 0;
}

bool IsFirstRun(const SettingsStore& store) {
    const QStringList& keys = SettingsKeys();
    return std::none_of(keys.begin(), keys.end(),
                        [&store](const QString& key) { return store.contains(key); });
}

IntervalTexts IntervalBoxTexts(qint32 intTimeMs) {
    const double minutes = Fix(double(intTimeMs) / 60000.0);
    const qint64 seconds = qint64(RoundHalfEven(double(intTimeMs) / 1000.0)) % 60;
    return {FormatNumber(minutes, "00"), FormatNumber(double(seconds), "00")};
}

void applySettingsToWindow(Session& session, const std::optional<IntervalTexts>& openDialog) {
    const Settings& s = session.settings;
    Readout& r = session.readout;
    const bool alarm = s.alarmEnabled == 1;
    r.limitCaption[0] = alarm ? s.limitTexts[0] : QString();
    r.limitCaption[1] = alarm ? s.limitTexts[1] : QString();

    Statistics& st = session.stats;
    if (!st.statFlags[0]) st.maxRow.fill(QString());
    if (!st.statFlags[1]) st.minRow.fill(QString());
    if (!st.statFlags[2]) st.avgRow.fill(QString());

    const IntervalTexts t = openDialog ? *openDialog : IntervalBoxTexts(s.recordIntervalMs);
    r.limitCaption[2] = t.minutes + ":" + t.seconds;
}

}  // namespace quillon
