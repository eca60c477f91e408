#pragma once
// Reading and writing the settings record of the session from and to the store, and
// showing some of the options on the main window's captions (applySettingsToWindow).

#include <QString>
#include <QStringList>
#include <optional>

#include "session.h"
#include "settings_store.h"

namespace quillon {

// The display formats of a first run and of the dialog's Default button.
inline const QString kDefaultDateFormat = QStringLiteral("yyyy/mm/dd");
inline const QString kDefaultTimeFormat = QStringLiteral("HH:nn:ss");

// The keys of the record, in the order they are read and written.
const QStringList& SettingsKeys();

// Reads every key into session.settings. A missing key leaves its field unchanged, and
// so does a numeric key whose text is not a number of the field's type, a "comp" outside
// 0..256, a "Graph_range" outside 0..2, a negative "IntTime" and a "keepRecording" other
// than 0 or 1. Whole-number fields round half to even. A date or time format that is
// missing, empty or not offered by the lists becomes its default; line breaks in the
// title become blanks.
// Returns the stored "Mav" text ("" when absent); statFlags are not touched here.
QString LoadSettings(Session& session, SettingsStore& store);

// Writes every key from session.settings and statFlags[0..2] ("Mav").
void SaveSettings(const Session& session, SettingsStore& store);

// Rewrites "comp" alone with the port the meter was last found on; the field keeps its value.
void SavePortOnExit(SettingsStore& store, int port);

// statFlags[0..2] from the "Mav" text: character i+1 not "0" (a missing character is 0).
void ApplyMav(Session& session, const QString& mav);
// The numeric value of character i (0-based) of "Mav" or "ck" texts, 0 when missing.
int DigitAt(const QString& text, int i);

// The first-run rule: the store holds none of the record's keys (no file, or an empty
// section). A store missing only some keys is no first run: what it holds is kept.
bool IsFirstRun(const SettingsStore& store);

// The interval boxes' texts while the settings dialog is open.
struct IntervalTexts {
    QString minutes;
    QString seconds;
};

// The interval as the dialog shows it: minutes "00" and seconds "00".
IntervalTexts IntervalBoxTexts(qint32 intTimeMs);

// Shows the limit captions (only with the alarm on), clears the MAX/MIN/AVG rows that are
// switched off, and writes the interval caption "mm:ss" (from the open dialog's boxes when
// given, otherwise from recordIntervalMs).
void applySettingsToWindow(Session& session,
                           const std::optional<IntervalTexts>& openDialog = std::nullopt);

}  // namespace quillon
