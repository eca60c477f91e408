#pragma once
// The text lines of a recording journal, shared by the writer (RecordingJournal) and the
// reader (journal recovery). UTF-8, one line per item, fields separated by a tab:
//
//   QUILLON journal 1
//   name      <record name>
//   settings  <title> <date format> <time format> <MAX/MIN/AVG shown, e.g. "111">
//   record    <function> <range> <decimal index> <readout unit> <NO> <Date> <Time> <Value> <Unit>
//
// "settings" comes before the first record and again whenever those settings change.
// Inside a field "\" is written "\\", a tab "\t", a carriage return "\r" and a line
// feed "\n", so every line ends at its first line feed.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillon::journal {

inline constexpr char kFirstLine[] = "QUILLON journal 1";
inline constexpr char kNameTag[] = "name";
inline constexpr char kSettingsTag[] = "settings";
inline constexpr char kRecordTag[] = "record";
inline constexpr int kSettingsFields = 4;
inline constexpr int kRecordFields = 9;
inline constexpr char kFileSuffix[] = ".journal";
// A journal being made (locked, its first lines being written) until it takes its name;
// recovery passes over these and removes only old ones left by a crash at that moment.
inline constexpr char kPartPrefix[] = ".journal-part-";

// Appends tag and fields as one line (with its line feed) to out.
void AppendLine(QByteArray& out, const char* tag, const QStringList& fields);

// Splits one line (without its line feed) into tag and fields; false when an escape is
// not one of the four.
bool SplitLine(const QByteArray& line, QByteArray* tag, QStringList* fields);

}  // namespace quillon::journal
