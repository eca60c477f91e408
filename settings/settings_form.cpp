#include "settings_form.h"

#include <QDir>
#include <cmath>
#include <limits>

#include "date_time_format.h"
#include "number_format.h"

namespace quillon {

namespace {

QString ListItemOrEmpty(const QStringList& items, const QString& text) {
    return items.contains(text) ? text : QString();
}

// A Y-axis limit as a single-precision number, or nothing when the text is not one.
std::optional<float> RangeLimit(const QString& text) {
    if (!IsNumeric(text)) return std::nullopt;
    const double v = NumberOr(text, std::numeric_limits<double>::quiet_NaN());
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return std::nullopt;
    return float(v);
}

}  // namespace

QString DefaultSaveFolder() { return QDir::homePath() + "/Data/"; }

QString RangeLimitsMessage() {
    return QStringLiteral(
        "The Hi Limit and Low Limit of the Y axis must be numbers (for example 10 and -2.5).");
}

void PressDefault(SettingsForm& form, Settings& settings) {
    form.portOption = 0;
    form.savAuto = true;
    form.alarm = false;
    form.limitTicked = {false, false};
    form.limitText = {"0", "0"};
    form.titleShown = false;
    form.title.clear();
    form.rangeMode = 0;
    form.rangeText = {"4", "-4"};
    form.minutes = "00";
    form.seconds = "01";
    form.olStop = false;
    form.keepRecording = false;
    settings.dateTimeFormats[0] = kDefaultDateFormat;
    settings.dateTimeFormats[1] = kDefaultTimeFormat;
    form.dateFormat = settings.dateTimeFormats[0];
    form.timeFormat = settings.dateTimeFormats[1];
    form.stats = {true, true, true};
    form.folder = DefaultSaveFolder();
}

void ShowRecord(SettingsForm& form, Session& session, const QString& mav) {
    const Settings& s = session.settings;
    form.portOption = s.autoScan != 0 ? 1 : 0;
    form.comIndex = s.configuredPort - 1;
    form.savAuto = s.autoSave == 1;
    form.folder = s.saveFolder;
    switch (s.limitsTested) {
        case 0:
            form.limitTicked = {false, false};
            break;
        case 1:
            form.limitTicked = {true, false};
            break;
        case 2:
            form.limitTicked = {false, true};
            break;
        case 3:
            form.limitTicked = {true, true};
            break;
        default:
            break;
    }
    form.limitText = s.limitTexts;
    form.alarm = s.alarmEnabled == 1;
    form.titleShown = s.showGraphTitle != 0;
    form.title = s.graphTitle;
    form.rangeMode = s.graphRangeMode;
    if (s.graphRangeMode == 2)
        form.rangeText = {PlainSingle(s.graphTop), PlainSingle(s.graphBottom)};
    form.olStop = s.stopOnOverload != 0;
    form.keepRecording = s.keepRecording != 0;
    const IntervalTexts interval = IntervalBoxTexts(s.recordIntervalMs);
    form.minutes = interval.minutes;
    form.seconds = interval.seconds;
    form.dateFormat = ListItemOrEmpty(DateFormats(), s.dateTimeFormats[0]);
    form.timeFormat = ListItemOrEmpty(TimeFormats(), s.dateTimeFormats[1]);
    ApplyMav(session, mav);
    for (int i = 0; i < 3; ++i) form.stats[i] = session.stats.statFlags[i];
}

std::optional<QString> TakeForm(const SettingsForm& form, Session& session) {
    Settings& s = session.settings;
    std::optional<float> up, down;
    if (form.rangeMode == 2) {
        up = RangeLimit(form.rangeText[0]);
        down = RangeLimit(form.rangeText[1]);
        if (!up || !down) return RangeLimitsMessage();
    }
    s.autoScan = form.portOption == 0 ? 0 : 1;
    s.configuredPort = form.comIndex + 1;
    s.autoSave = form.savAuto ? 1 : 0;
    s.saveFolder = form.folder;
    s.limitsTested = (form.limitTicked[0] ? 1 : 0) + (form.limitTicked[1] ? 2 : 0);
    s.limitTexts = form.limitText;
    s.alarmEnabled = form.alarm ? 1 : 0;
    s.showGraphTitle = form.titleShown ? 1 : 0;
    s.graphTitle = form.title;
    s.graphRangeMode = form.rangeMode;
    if (form.rangeMode == 2) {
        s.graphTop = *up;
        s.graphBottom = *down;
    }
    s.stopOnOverload = form.olStop ? 1 : 0;
    s.keepRecording = form.keepRecording ? 1 : 0;
    const double ms =
        RoundHalfEven((LeadingNumber(form.minutes) * 60 + LeadingNumber(form.seconds)) * 1000);
    // Boxes of two characters cannot leave this range; a guard for pasted text all the same.
    s.recordIntervalMs = qint32(
        qBound<double>(std::numeric_limits<qint32>::min(), ms, std::numeric_limits<qint32>::max()));
    if (!form.dateFormat.isEmpty()) s.dateTimeFormats[0] = form.dateFormat;
    if (!form.timeFormat.isEmpty()) s.dateTimeFormats[1] = form.timeFormat;
    for (int i = 0; i < 3; ++i) session.stats.statFlags[i] = form.stats[i];
    return std::nullopt;
}

bool LoadSettingsForm(SettingsForm& form, Session& session, SettingsStore& store) {
    const bool firstRun = IsFirstRun(store);
    const QString mav = LoadSettings(session, store);
    if (!firstRun) {
        ShowRecord(form, session, mav);
        return false;
    }
    PressDefault(form, session.settings);
    TakeForm(form, session);  // mode 0 after Default: cannot fail
    SaveSettings(session, store);
    return true;
}

void LoadSettingsAtStartup(Session& session, SettingsStore& store) {
    SettingsForm form;
    LoadSettingsForm(form, session, store);
    if (session.rec.state != kRunViewingFile) applySettingsToWindow(session);
}

int LastPage(const Session& session) {
    const int records = session.table.recordCount();
    const double perPage = 100.0 * session.graph.pageScale;
    if (records <= 0 || perPage <= 0) return 0;
    return int(std::ceil(records / perPage));
}

}  // namespace quillon
