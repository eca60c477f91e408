#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <functional>
#include <tuple>

#include "settings_form.h"
#include "settings_record.h"
#include "settings_store.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

// Every key with the value a first run stores.
const QList<QPair<QString, QString>> kFirstRun = {
    {"autoScan", "0"},    {"comp", "0"},         {"sav_Auto", "1"},       {"T1_beep", "0"},
    {"limit_selet", "0"}, {"limit_txt_0", "0"},  {"limit_txt_1", "0"},    {"Graph_Title", "0"},
    {"Graph_txt", ""},    {"Graph_range", "0"},  {"Tick_Dn", "0"},        {"Tick_UP", "0"},
    {"OL_stop", "0"},     {"IntTime", "1000"},   {"Fdt_0", "yyyy/mm/dd"}, {"Fdt_1", "HH:nn:ss"},
    {"Mav", "111"},       {"keepRecording", "0"}};

TEST(SettingsFirstRun, EmptyStoreGetsEveryKeyAndTheWindowItsCaptions) {
    test::FreshStore fresh;
    Session session;
    LoadSettingsAtStartup(session, fresh.store());

    auto store = fresh.reopen();
    for (const auto& [key, value] : kFirstRun)
        EXPECT_EQ(store->ReadSetting(key, "absent"), value) << key.toStdString();
    EXPECT_EQ(store->ReadSetting("Sav_Drv", "absent"), QDir::homePath() + "/Data/");
    EXPECT_EQ(session.settings.saveFolder, QDir::homePath() + "/Data/");
    EXPECT_EQ(session.settings.recordIntervalMs, 1000);
    EXPECT_TRUE(session.stats.statFlags[0] && session.stats.statFlags[1] &&
                session.stats.statFlags[2]);
    EXPECT_EQ(session.readout.limitCaption[0], "");
    EXPECT_EQ(session.readout.limitCaption[1], "");
    EXPECT_EQ(session.readout.limitCaption[2], "00:01");
}

// A store missing only the date format is no first run: its values stay, in the file too.
TEST(SettingsFirstRun, StoreMissingTheDateFormatKeepsEverythingElse) {
    test::FreshStore fresh;
    SettingsStore& s = fresh.store();
    const char* changed[][2] = {
        {"autoScan", "1"},    {"comp", "7"},        {"sav_Auto", "0"},    {"Sav_Drv", "/mnt/logs/"},
        {"T1_beep", "1"},     {"limit_selet", "3"}, {"limit_txt_0", "5"}, {"Graph_txt", "Bench"},
        {"Graph_range", "2"}, {"Tick_Dn", "-2.5"},  {"Tick_UP", "10"},    {"IntTime", "60000"},
        {"Fdt_1", "H:nn:ss"}, {"Mav", "000"}};
    for (const auto& [key, value] : changed) s.WriteSetting(key, value);

    Session session;
    LoadSettingsAtStartup(session, s);
    EXPECT_EQ(session.settings.dateTimeFormats[0], "yyyy/mm/dd");
    EXPECT_EQ(session.settings.dateTimeFormats[1], "H:nn:ss");
    EXPECT_EQ(session.settings.saveFolder, "/mnt/logs/");
    EXPECT_EQ(session.settings.recordIntervalMs, 60000);

    auto store = fresh.reopen();
    for (const auto& [key, value] : changed)
        EXPECT_EQ(store->ReadSetting(key, "absent"), value) << key;
    EXPECT_EQ(store->ReadSetting("Fdt_0", "absent"), "absent");
}

TEST(SettingsLoad, MavTextSetsTheStatisticsFlags) {
    // Mav as stored, and the MAX, MIN and AVG flags it sets.
    const char* rows[][2] = {
        {"10", "100"}, {"111", "111"}, {"", "000"}, {"0x1", "001"}, {"21", "110"}};
    for (const auto& [mav, flags] : rows) {
        test::FreshStore fresh;
        fresh.store().WriteSetting("Fdt_0", "yyyy/mm/dd");
        fresh.store().WriteSetting("Mav", mav);
        Session session;
        LoadSettingsAtStartup(session, fresh.store());
        for (int i = 0; i < 3; ++i) EXPECT_EQ(session.stats.statFlags[i], flags[i] == '1') << mav;
    }
}

TEST(SettingsLoad, UnusableNumbersKeepTheFieldValue) {
    const char* rows[][2] = {{"comp", "abc"},      {"comp", "257"},       {"comp", "-1"},
                             {"Graph_range", "3"}, {"Graph_range", "-1"}, {"IntTime", "12x"},
                             {"IntTime", "1e12"},  {"autoScan", "yes"},   {"Tick_Dn", "fast"},
                             {"Tick_UP", "1e40"},  {"Tick_Dn", "-2,5"},   {"T1_beep", "99999"},
                             {"limit_selet", ""},  {"IntTime", "-1000"}};
    for (const auto& [key, text] : rows) {
        test::FreshStore fresh;
        Session session;
        Settings& s = session.settings;
        s.configuredPort = 4;
        s.graphRangeMode = 1;
        s.recordIntervalMs = 2000;
        s.autoScan = 1;
        s.graphBottom = 1.5f;
        s.graphTop = 3;
        s.alarmEnabled = 1;
        s.limitsTested = 2;
        const auto fields = [](const Settings& x) {
            return std::make_tuple(x.configuredPort, x.graphRangeMode, x.recordIntervalMs,
                                   x.autoScan, x.graphBottom, x.graphTop, x.alarmEnabled,
                                   x.limitsTested);
        };
        const auto before = fields(s);
        fresh.store().WriteSetting(key, text);
        LoadSettings(session, fresh.store());
        EXPECT_EQ(fields(s), before) << key << "=" << text;
    }
}

// A format the lists do not offer would write empty or odd date and time cells.
TEST(SettingsLoad, UnlistedFormatsFallBackToTheDefaults) {
    // Stored date and time format (nullptr: key absent), and the ones loaded.
    const char* ampm = "h:nn:ss AM/PM";
    const char* rows[][4] = {{nullptr, ampm, "yyyy/mm/dd", ampm},
                             {"", ampm, "yyyy/mm/dd", ampm},
                             {"dd/mm/yyyy", nullptr, "dd/mm/yyyy", "HH:nn:ss"},
                             {"dd/mm/yyyy", "", "dd/mm/yyyy", "HH:nn:ss"},
                             {"dd/mm/yyyy", "hh-nn", "dd/mm/yyyy", "HH:nn:ss"},
                             {"dd.mm.yyyy", ampm, "yyyy/mm/dd", ampm}};
    for (const auto& [date, time, dateLoaded, timeLoaded] : rows) {
        SCOPED_TRACE(std::string(date ? date : "-") + " " + (time ? time : "-"));
        test::FreshStore fresh;
        if (date) fresh.store().WriteSetting("Fdt_0", date);
        if (time) fresh.store().WriteSetting("Fdt_1", time);
        fresh.store().WriteSetting("Graph_txt", "kept");
        Session session;
        LoadSettingsAtStartup(session, fresh.store());
        EXPECT_EQ(session.settings.dateTimeFormats[0], dateLoaded);
        EXPECT_EQ(session.settings.dateTimeFormats[1], timeLoaded);
        EXPECT_EQ(session.settings.graphTitle, "kept");  // not a first run
    }
}

// Whole numbers round half to even; line breaks in the title become blanks.
TEST(SettingsLoad, WholeNumbersAndTitle) {
    test::FreshStore fresh;
    fresh.store().WriteSetting("Graph_txt", "line1\nline2\r\nline3");
    fresh.store().WriteSetting("comp", "6.5");
    fresh.store().WriteSetting("IntTime", "1500.5");
    fresh.store().WriteSetting("Graph_range", "2.5");
    Session session;
    LoadSettings(session, fresh.store());
    EXPECT_EQ(session.settings.configuredPort, 6);
    EXPECT_EQ(session.settings.recordIntervalMs, 1500);
    EXPECT_EQ(session.settings.graphRangeMode, 2);
    EXPECT_EQ(session.settings.graphTitle, "line1 line2 line3");
}

TEST(SettingsSave, PortOnExitRewritesOnlyComp) {
    test::FreshStore fresh;
    Session session;
    LoadSettingsAtStartup(session, fresh.store());
    SavePortOnExit(fresh.store(), 7);
    auto store = fresh.reopen();
    EXPECT_EQ(store->ReadSetting("comp", ""), "7");
    EXPECT_EQ(store->ReadSetting("autoScan", ""), "0");
    EXPECT_EQ(session.settings.configuredPort, 0);
}

// The graph limits are written with a point whatever the locale.
TEST(SettingsSave, GraphLimitsIgnoreACommaDecimalLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string cBefore = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where installed

    test::FreshStore fresh;
    Session session;
    LoadSettingsAtStartup(session, fresh.store());
    session.settings.graphBottom = -2.5f;
    session.settings.graphTop = 1234.5f;
    SaveSettings(session, fresh.store());
    auto store = fresh.reopen();
    EXPECT_EQ(store->ReadSetting("Tick_Dn", ""), "-2.5");
    EXPECT_EQ(store->ReadSetting("Tick_UP", ""), "1234.5");
    Session again;
    LoadSettings(again, *store);
    EXPECT_FLOAT_EQ(again.settings.graphBottom, -2.5f);
    EXPECT_FLOAT_EQ(again.settings.graphTop, 1234.5f);

    std::setlocale(LC_NUMERIC, cBefore.c_str());
    QLocale::setDefault(before);
}

TEST(SettingsOpSet, CaptionsAndStatisticsRows) {
    Session session;
    Settings& s = session.settings;
    s.limitTexts = {"5", "1"};
    s.limitsTested = 1;  // only "Hi" ticked: both captions show all the same
    s.alarmEnabled = 1;
    s.recordIntervalMs = 150000;
    session.stats.statFlags = {true, false, false, false};
    session.stats.maxRow = {"1.0", "V", "10:00:00"};
    session.stats.minRow = {"0.5", "V", "10:00:01"};
    session.stats.avgRow = {"0.7", "V"};
    applySettingsToWindow(session);
    EXPECT_EQ(session.readout.limitCaption[0], "5");
    EXPECT_EQ(session.readout.limitCaption[1], "1");
    EXPECT_EQ(session.readout.limitCaption[2], "02:30");
    EXPECT_EQ(session.stats.maxRow[0], "1.0");
    EXPECT_EQ(session.stats.minRow[0], "");
    EXPECT_EQ(session.stats.avgRow[1], "");

    s.alarmEnabled = 0;
    applySettingsToWindow(session, IntervalTexts{"5", "7"});
    EXPECT_EQ(session.readout.limitCaption[0], "");
    EXPECT_EQ(session.readout.limitCaption[2], "5:7");
}

TEST(SettingsForm, IntervalBoxesBothWays) {
    const struct {
        const char *minutes, *seconds;
        qint32 ms;
        const char* shown;
    } rows[] = {{"00", "01", 1000, "00:01"}, {"02", "30", 150000, "02:30"},
                {"5", "7", 307000, "05:07"}, {"1.5", "", 90000, "01:30"},
                {"ab", "x", 0, "00:00"},     {"59", "59", 3599000, "59:59"}};
    for (const auto& row : rows) {
        Session session;
        SettingsForm form;
        form.minutes = row.minutes;
        form.seconds = row.seconds;
        ASSERT_FALSE(TakeForm(form, session));
        EXPECT_EQ(session.settings.recordIntervalMs, row.ms) << row.minutes << ":" << row.seconds;
        const IntervalTexts t = IntervalBoxTexts(session.settings.recordIntervalMs);
        EXPECT_EQ(t.minutes + ":" + t.seconds, row.shown);
    }
}

TEST(SettingsStore, DefaultPathFollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/quillon-xdg");
    EXPECT_EQ(SettingsStore::DefaultPath(), "/tmp/quillon-xdg/regtest.ini");
    qputenv("XDG_CONFIG_HOME", "relative/dir");  // not absolute: ignored
    EXPECT_EQ(SettingsStore::DefaultPath(), QDir::homePath() + "/.config/regtest.ini");
    qputenv("XDG_CONFIG_HOME", saved);
}

// An absent key gives the default; writes reach the file under the section and every text
// comes back exactly.
TEST(SettingsStore, TextsComeBackExactly) {
    test::FreshStore fresh;
    EXPECT_EQ(fresh.store().ReadSetting("Graph_txt", "dflt"), "dflt");
    fresh.store().WriteSetting("Graph_txt", "Bench A");
    const QString text = fresh.fileText();
    EXPECT_TRUE(text.contains("[kvr3318]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Graph_txt=Bench A")) << text.toStdString();
    const QStringList texts = {",,,,",       "06/01/2024,AM 09:00:00,06/01/2024,10:00:00,",
                               "  padded  ", "a=b;c",
                               "@at",        "Ω °C",
                               "",           "C:\\Data\\",
                               "Bench A"};
    for (int i = 0; i < texts.size(); ++i)
        fresh.store().WriteSetting(QString("k%1").arg(i), texts[i]);
    auto again = fresh.reopen();
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(again->ReadSetting(QString("k%1").arg(i), "absent"), texts[i]) << i;
}

TEST(SettingsStore, HandEditedUnquotedCommasReadAsTheWrittenText) {
    test::FreshStore fresh;
    test::WriteFile(fresh.path(),
                    "[kvr3318]\nO1=06/01/2024,9:00:00,06/01/2024,10:00:00,\nO2=\nlimit_txt_0=5, 6\n"
                    "Graph_txt=Oven 2, \"door, closed\"\n[other]\nlimit_txt_0=x\n");
    auto store = fresh.reopen();
    EXPECT_EQ(store->ReadSetting("O1", "x"), "06/01/2024,9:00:00,06/01/2024,10:00:00,");
    EXPECT_EQ(store->ReadSetting("O2", "x"), "");
    EXPECT_EQ(store->ReadSetting("limit_txt_0", "x"), "5, 6");
    EXPECT_EQ(store->ReadSetting("Graph_txt", "x"), "Oven 2, door, closed");
}

// A file that cannot be read, or holds a line the INI reader rejects, is told once with
// its path and the reason, and is never written: changes stay in memory for the run. The
// values of a file with such a line are read all the same.
TEST(SettingsStore, ProblemFilesAreToldOnceAndLeftAsTheyAre) {
    const QByteArray handEdited = "# my settings\n[kvr3318]\nGraph_txt=mine\nFdt_1=H:nn:ss\n";
    const auto writeHandEdited = [&](const QString& p) { test::WriteFile(p, handEdited); };
    const struct {
        const char* name;
        std::function<void(const QString&)> make;
        const char *read, *told;  // graphTitle as read; the message after the path
    } cases[] = {
        {"a folder", [](const QString& p) { QDir().mkpath(p); }, "default",
         " could not be read (this is a folder"},
        {"a named pipe", [](const QString& p) { mkfifo(QFile::encodeName(p).constData(), 0600); },
         "default", " could not be read (this is not a plain file"},
        {"a line that is no setting", writeHandEdited, "mine",
         " is left as it is because a line of it is not of the form key=value. The values it "
         "holds apply; changes made now apply until the program ends."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("regtest.ini");
        c.make(path);
        SettingsStore store(path);
        EXPECT_EQ(store.ReadSetting("Graph_txt", "default"), c.read);
        store.WriteSetting("Graph_txt", "new");
        EXPECT_EQ(store.ReadSetting("Graph_txt", "default"), "new");  // for this run
        EXPECT_FALSE(store.writable());
        const auto told = store.TakeProblemMessage("The settings");
        ASSERT_TRUE(told.has_value());
        EXPECT_TRUE(told->contains(path + c.told)) << told->toStdString();
        EXPECT_FALSE(store.TakeProblemMessage("The settings").has_value());
    }
    // A start on such a file takes its values and keeps its bytes.
    QTemporaryDir dir;
    const QString path = dir.filePath("regtest.ini");
    writeHandEdited(path);
    SettingsStore store(path);
    Session session;
    LoadSettingsAtStartup(session, store);
    EXPECT_EQ(session.settings.graphTitle, "mine");
    EXPECT_EQ(session.settings.dateTimeFormats[1], "H:nn:ss");
    EXPECT_EQ(session.settings.dateTimeFormats[0], "yyyy/mm/dd");
    EXPECT_EQ(test::ReadFile(path), handEdited);
}

TEST(SettingsStore, FailedWriteIsToldOnceWithTheReason) {
    QTemporaryDir dir;
    test::WriteFile(dir.filePath("config"), "");  // a file where the folder should be
    SettingsStore store(dir.filePath("config/regtest.ini"));
    EXPECT_TRUE(store.writable());
    store.WriteSetting("Graph_txt", "x");
    EXPECT_FALSE(store.writable());
    const auto told = store.TakeProblemMessage("The settings");
    ASSERT_TRUE(told.has_value());
    EXPECT_TRUE(told->startsWith("The settings could not be written to " + store.path() + " ("))
        << told->toStdString();
    EXPECT_TRUE(told->contains("directory")) << told->toStdString();
    store.WriteSetting("Graph_txt", "y");
    EXPECT_FALSE(store.TakeProblemMessage("The settings").has_value());
}

}  // namespace
}  // namespace quillon
