#include "report_opener.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QVector>

#include "date_time_format.h"
#include "meter_tables.h"
#include "number_format.h"
#include "report_text.h"

namespace quillon {

namespace {

constexpr int kFirstRecordLine = 8;

const Control kLoadMenus[] = {Control::FileMenu, Control::EditMenu, Control::RecordMenu,
                              Control::Options,  Control::Schedule, Control::HelpMenu};
const Control kToolbar[] = {Control::OpenButton,  Control::SaveButton,  Control::PrintButton,
                            Control::StartButton, Control::PauseButton, Control::StopButton,
                            Control::ClearButton, Control::HelpButton};

// Bytes up to the end of line number maxLines (CR LF, LF or CR end a line).
qsizetype PrefixOfLines(const QByteArray& bytes, int maxLines) {
    int lines = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r') continue;
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        if (++lines == maxLines) return i + 1;
    }
    return n;
}

// True when bytes from `from` on hold anything but line ends and blanks.
bool HoldsText(const QByteArray& bytes, qsizetype from) {
    for (qsizetype i = from; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r' && c != ' ' && c != '\t') return true;
    }
    return false;
}

}  // namespace

QString RecordsLeftOutMessage() {
    return QStringLiteral(
               "The file holds more than %1 records. The first %1 records were "
               "loaded; the rest of the file was not loaded.")
        .arg(ReportOpener::kMaxRecords);
}

QString FileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString RecordNameOfPath(const QString& path) {
    const QString name = FileNameOf(path.trimmed());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? name : name.left(dot);
}

ReportOpener::ReportOpener(Session& session, MessageBoxes& messages, FileDialogs& dialogs,
                           ReportOpenerCallbacks callbacks)
    : session_(session), messages_(messages), dialogs_(dialogs), callbacks_(std::move(callbacks)) {}

void ReportOpener::openReport() {
    FileDialogRequest request;
    request.title = QStringLiteral("Open File");
    request.filters = {QStringLiteral("Csv File(*.csv)")};
    request.confirmOverwrite = false;
    const QString path = dialogs_.getOpenFileName(request).path;
    if (path.isEmpty()) {
        session_.rec.state = kRunIdle;
        return;
    }
    if (!session_.rec.recordName.isEmpty()) {
        const MsgResult answer = messages_.show(
            QStringLiteral("All currently recorded data will be overwritten. Are you sure you "
                           "want to open the file?"),
            QStringLiteral("Warning!"), MsgButtons::YesNo, MsgIcon::Exclamation);
        if (answer != MsgResult::Yes) return;
    }
    OpenReport(path);
}

bool ReportOpener::OpenReport(const QString& path) {
    const LoadResult result = LoadReport(path);
    if (!result.ok) {
        messages_.show(QStringLiteral("The file could not be opened.\n") + result.errorText,
                       QStringLiteral("Open File"), MsgButtons::Ok, MsgIcon::Exclamation);
    } else if (result.recordsLeftOut) {
        messages_.show(RecordsLeftOutMessage(), QStringLiteral("Open File"), MsgButtons::Ok,
                       MsgIcon::Exclamation);
    }
    return result.ok;
}

void ReportOpener::SetMenusDuringLoad(bool loading) {
    ControlStates& c = session_.controls;
    for (Control name : kLoadMenus) c.setEnabled(name, !loading);
    for (Control key : kToolbar) c.setEnabled(key, !loading);
    // Saving stays off while an opened file is shown: it is already a file.
    c.setEnabled(Control::SaveReport, false);
    c.setEnabled(Control::PopupSaveReport, false);
}

void ReportOpener::SetPageBox(const QString& text) {
    if (callbacks_.setPageBox) {
        callbacks_.setPageBox(text);
    } else {
        session_.graph.pageBox = text;
    }
}

LoadResult ReportOpener::LoadReport(const QString& path) {
    LoadResult result;
    // Events run during the load; a second load started from one of them would refill the
    // table under this one.
    if (loading_) {
        result.errorText = path + QStringLiteral(": another file is being opened");
        return result;
    }
    // Read first: a file that cannot be read must not cost the user the current display.
    const QFileInfo info(path);
    if (info.isDir()) {
        result.errorText = path + QStringLiteral(": this is a folder, not a file");
        return result;
    }
    // Opening a named pipe waits for a writer, and a device may never end: only plain
    // files are read.
    if (info.exists() && !info.isFile()) {
        result.errorText = path + QStringLiteral(": this is not a plain file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorText = path + QStringLiteral(": ") + file.errorString();
        return result;
    }
    // Only what the file holds is reserved, at most kMaxBytes.
    const qint64 size = file.size();
    QByteArray bytes = file.read(qBound<qint64>(0, size, kMaxBytes));
    file.close();
    const qsizetype kept = PrefixOfLines(bytes, kFirstRecordLine - 1 + kMaxRecords);
    result.recordsLeftOut = size > kMaxBytes || HoldsText(bytes, kept);
    bytes.truncate(kept);
    const QString text = DecodeReportBytes(bytes);
    bytes.clear();

    Session& s = session_;
    s.rec.state = kRunViewingFile;
    Call(s.hooks.resetDisplay);
    s.rec.state = kRunViewingFile;
    SetMenusDuringLoad(true);
    loading_ = true;
    Call(s.hooks.refresh);  // the window shows the disabled menus while events run

    s.rec.recordName = RecordNameOfPath(path);
    s.rec.fileTitle.clear();
    s.rec.fileDate.clear();
    RecordTable& table = s.table;
    table.currentRow = 1;
    table.currentCol = 0;
    table.setRows(1);
    table.setRows(2);
    table.setRedraw(false);
    s.stats.relValue.clear();
    s.stats.relUnit.clear();
    s.stats.relTime.clear();
    s.stats.avgRow = {};
    s.stats.maxRow = {};
    s.stats.minRow = {};
    SetPageBox(QStringLiteral("0"));
    lastTimePattern_.clear();
    lastDateText_.clear();
    lastDateShown_.clear();

    // Records are split first: their dates are read with one format for the whole file.
    QVector<QStringList> recordFields;
    int lineNo = 0;
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r')) ++end;
        const QString line = text.mid(start, end - start);
        start = end;
        if (start < n) {
            const bool crlf = text[start] == QLatin1Char('\r') && start + 1 < n &&
                              text[start + 1] == QLatin1Char('\n');
            start += crlf ? 2 : 1;
        }
        ++lineNo;
        if (lineNo < kFirstRecordLine) {
            ReadHeaderLine(lineNo, line);
        } else if (recordFields.size() < kMaxRecords && !line.trimmed().isEmpty()) {
            recordFields.append(SplitFields(line, RecordTable::kColumns));
        }
        if (lineNo % kEventEvery == 0) {
            if (callbacks_.processEvents) {
                callbacks_.processEvents();
            } else if (QCoreApplication::instance()) {
                QCoreApplication::processEvents();
            }
        }
    }

    QStringList dates;
    for (const QStringList& f : recordFields) {
        const QString date = f.value(1);
        if (!date.isEmpty() && (dates.isEmpty() || dates.last() != date)) dates.append(date);
    }
    dates.removeDuplicates();
    fileDatePattern_ = DateFormatOfTexts(dates, s.settings.dateTimeFormats[0]);
    const int records = int(recordFields.size());
    for (int record = 1; record <= records; ++record)
        ReadRecordFields(record, recordFields[record - 1]);
    recordFields.clear();

    table.setRedraw(true);
    // Row 0 is the column header: a file without records has no date to show.
    s.rec.fileDate = records > 0 ? table.cell(records, RecordTable::ColDate) : QString();

    OverloadLimits& limits = SharedOverloadLimits();
    limits.selectRange(s.rec.recordedFunction, s.rec.recordedRange);
    s.reading.rangeHigh = limits.high;
    s.reading.rangeLow = limits.low;

    const int page = records % 100 == 0 ? records / 100 : records / 100 + 1;
    // The page is drawn once, from an empty frame, whatever the page box showed before.
    if (callbacks_.showPage) {
        callbacks_.showPage(QString::number(page));
    } else {
        SetPageBox(QString::number(page));
    }

    SetMenusDuringLoad(false);
    loading_ = false;
    s.rec.state = kRunViewingFile;
    s.rec.reportFile = info.absoluteFilePath();
    s.rec.reportRecords = records;
    result.ok = true;
    result.records = records;
    return result;
}

void ReportOpener::ReadHeaderLine(int lineNo, const QString& line) {
    Session& s = session_;
    switch (lineNo) {
        case 1: {
            const QStringList f = SplitFields(line, 2);
            if (f.size() >= 2) s.rec.fileTitle = f[1];
            break;
        }
        case 2: {
            const QStringList f = SplitFields(line, 2);
            if (f.size() < 2 || f[1].size() < 5) break;
            const QString code = f[1].right(5);
            bool funcOk = false;
            bool rangeOk = false;
            const int func = code.mid(1, 2).toInt(&funcOk);
            const int range = code.mid(3, 1).toInt(&rangeOk);
            // Codes outside the meter's tables would send the graph out of them.
            if (!funcOk || !rangeOk || !InMeterTables(func, range)) break;
            s.rec.recordedFunction = func;
            s.rec.recordedRange = range;
            s.rec.shownFunction = FunctionTable(func);
            s.rec.functionName = FunctionTable(func);
            s.rec.shownUnit = UnitTable(func, range);
            s.rec.finestDec = DecimalTable(func, range);
            break;
        }
        case 3:
        case 4: {
            const QStringList f = SplitFields(line, 4);
            std::array<QString, 3>& row = lineNo == 3 ? s.stats.maxRow : s.stats.minRow;
            row[0] = f.value(1);
            if (row[0].isEmpty()) {
                row[1].clear();
                row[2].clear();
            } else {
                row[1] = f.value(2);
                row[2] = ReadTimeText(f.value(3));
            }
            break;
        }
        case 5: {
            const QStringList f = SplitFields(line, 3);
            s.stats.avgRow[0] = f.value(1);
            s.stats.avgRow[1] = f.value(2);
            break;
        }
        default:
            break;  // lines 6 and 7: blank line and column header
    }
}

void ReportOpener::ReadRecordFields(int record, const QStringList& f) {
    RecordTable& table = session_.table;
    const QString number = f.value(0);
    table.setCell(
        record, RecordTable::ColNo,
        IsNumeric(number) ? FormatNumber(NumberOr(number, 0), QStringLiteral("0000")) : number);
    table.setCell(record, RecordTable::ColDate, ReadDateText(f.value(1)));
    table.setCell(record, RecordTable::ColTime, ReadTimeText(f.value(2)));
    table.setCell(record, RecordTable::ColValue, f.value(3));
    table.setCell(record, RecordTable::ColUnit, f.value(4));
    table.addRow();
}

// A date or time in the current display format; text that is none is kept as written.
QString ReportOpener::ReadDateText(const QString& text) {
    // Consecutive records nearly always share their date.
    if (text == lastDateText_) return lastDateShown_;
    lastDateText_ = text;
    lastDateShown_ = text;
    const QString& preferred = session_.settings.dateTimeFormats[0];
    if (text.isEmpty() || preferred.isEmpty()) return text;
    if (!fileDatePattern_.isEmpty()) {
        if (auto d = ParseDate(text, fileDatePattern_))
            return lastDateShown_ = FormatDate(*d, preferred);
        return text;
    }
    // No one format reads every date of this file: each date on its own.
    for (const QString& pattern : DateFormatsToTry(preferred)) {
        if (auto d = ParseDate(text, pattern)) return lastDateShown_ = FormatDate(*d, preferred);
    }
    return text;
}

QString ReportOpener::ReadTimeText(const QString& text) {
    const QString& preferred = session_.settings.dateTimeFormats[1];
    if (text.isEmpty() || preferred.isEmpty()) return text;
    if (auto t = ParseTime(text, preferred)) return FormatTime(*t, preferred);
    if (!lastTimePattern_.isEmpty()) {
        if (auto t = ParseTime(text, lastTimePattern_)) return FormatTime(*t, preferred);
    }
    for (const QString& pattern : TimeFormats()) {
        if (auto t = ParseTime(text, pattern)) {
            lastTimePattern_ = pattern;
            return FormatTime(*t, preferred);
        }
    }
    if (auto t = ParseAnyTime(text, preferred)) return FormatTime(*t, preferred);
    return text;
}

}  // namespace quillon
