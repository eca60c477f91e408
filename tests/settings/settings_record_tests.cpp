#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLocale>
#include <clocale>
#include <functional>
#include <tuple>

#include "settings_form.h"
#include "settings_record.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

using Captions = std::array<QString, 3>;
using Formats = std::array<QString, 2>;

// Every key as a first run stores it (and the port on exit), in the order of SettingsKeys().
TEST(SettingsFirstRun, EmptyStoreGetsEveryKeyAndTheWindowItsCaptions) {
    test::FreshStore fresh;
    Session session;
    LoadSettingsAtStartup(session, fresh.store());
    SavePortOnExit(fresh.store(), 7);
    auto store = fresh.reopen();
    QStringList stored;
    for (const QString& key : SettingsKeys()) stored << key + "=" + store->ReadSetting(key, "-");
    const QString data = QDir::homePath() + "/Data/";
    EXPECT_EQ(stored.join(' '), "autoScan=0 comp=7 sav_Auto=1 Sav_Drv=" + data +
                                    " T1_beep=0 limit_selet=0 limit_txt_0=0 limit_txt_1=0 "
                                    "Graph_Title=0 Graph_txt= Graph_range=0 Tick_Dn=0 Tick_UP=0 "
                                    "OL_stop=0 IntTime=1000 Fdt_0=yyyy/mm/dd Fdt_1=HH:nn:ss "
                                    "Mav=111 keepRecording=0");
    EXPECT_EQ(session.settings.saveFolder, data);
    EXPECT_EQ(session.settings.recordIntervalMs, 1000);
    EXPECT_EQ(session.stats.statFlags, (std::array<bool, 4>{true, true, true, false}));
    EXPECT_EQ(session.readout.limitCaption, (Captions{"", "", "00:01"}));
}

// A store missing only the date format is no first run: its values stay, in the file too.
TEST(SettingsFirstRun, StoreMissingTheDateFormatKeepsEverythingElse) {
    test::FreshStore fresh;
    const char* changed[][2] = {{"autoScan", "1"},      {"comp", "6.5"},
                                {"sav_Auto", "0"},      {"Sav_Drv", "/mnt/logs/"},
                                {"T1_beep", "1"},       {"limit_selet", "3"},
                                {"limit_txt_0", "5"},   {"Graph_txt", "line1\nline2\r\nline3"},
                                {"Graph_range", "2.5"}, {"Tick_Dn", "-2.5"},
                                {"Tick_UP", "10"},      {"IntTime", "1500.5"},
                                {"Fdt_1", "H:nn:ss"},   {"Mav", "010"}};
    for (const auto& [key, value] : changed) fresh.store().WriteSetting(key, value);
    Session session;
    LoadSettingsAtStartup(session, fresh.store());
    const Settings& s = session.settings;
    EXPECT_EQ(s.dateTimeFormats, (Formats{"yyyy/mm/dd", "H:nn:ss"}));
    EXPECT_EQ(s.saveFolder, "/mnt/logs/");
    EXPECT_EQ(std::make_tuple(s.configuredPort, s.recordIntervalMs, s.graphRangeMode),
              std::make_tuple(6, 1500, 2));
    EXPECT_EQ(s.graphTitle, "line1 line2 line3");
    EXPECT_EQ(session.stats.statFlags, (std::array<bool, 4>{false, true, false, false}));
    auto store = fresh.reopen();
    for (const auto& [key, value] : changed)
        EXPECT_EQ(store->ReadSetting(key, "absent"), value) << key;
    EXPECT_EQ(store->ReadSetting("Fdt_0", "absent"), "absent");
}

TEST(SettingsLoad, MavTextSetsTheStatisticsFlags) {
    // Mav as stored, and the MAX, MIN and AVG flags it sets.
    const char* rows[][2] = {{"10", "100"}, {"", "000"}, {"0x1", "001"}, {"21", "110"}};
    for (const auto& [mav, flags] : rows) {
        Session session;
        ApplyMav(session, mav);
        QString got;
        for (int i = 0; i < 3; ++i) got += session.stats.statFlags[i] ? '1' : '0';
        EXPECT_EQ(got, flags) << mav;
    }
}

TEST(SettingsLoad, UnusableNumbersKeepTheFieldValue) {
    const char* rows[][2] = {{"comp", "abc"},      {"comp", "257"},       {"comp", "-1"},
                             {"Graph_range", "3"}, {"Graph_range", "-1"}, {"IntTime", "12x"},
                             {"IntTime", "1e12"},  {"autoScan", "yes"},   {"Tick_Dn", "fast"},
                             {"Tick_UP", "1e40"},  {"Tick_Dn", "-2,5"},   {"T1_beep", "99999"},
                             {"limit_selet", ""},  {"IntTime", "-1000"}};
    // autoScan, port, autoSave, folder, alarm, limits tested, limit texts, show title,
    // title, range mode, bottom, top, stop on overload, interval
    const Settings before{1, 4, 0, {}, 1, 2, {}, 0, {}, 1, 1.5f, 3, 0, 2000, {}, 0};
    const auto fields = [](const Settings& x) {
        return std::make_tuple(x.configuredPort, x.graphRangeMode, x.recordIntervalMs, x.autoScan,
                               x.graphBottom, x.graphTop, x.alarmEnabled, x.limitsTested);
    };
    test::FreshStore fresh;
    for (const auto& [key, text] : rows) {
        Session session;
        session.settings = before;
        fresh.store().WriteSetting(key, text);
        LoadSettings(session, fresh.store());
        EXPECT_EQ(fields(session.settings), fields(before)) << key << "=" << text;
    }
}

// Every text comes back exactly; hand-edited unquoted commas read as written.
TEST(SettingsStore, TextsComeBackExactly) {
    test::FreshStore fresh;
    EXPECT_EQ(fresh.store().ReadSetting("Graph_txt", "dflt"), "dflt");
    fresh.store().WriteSetting("Graph_txt", "Bench A");
    EXPECT_TRUE(test::ReadFile(fresh.path()).contains("[kvr3318]\nGraph_txt=Bench A"));
    const QStringList texts = {",,,,", "  padded  ", "a=b;c", "@at", "Ω °C", "", "C:\\Data\\"};
    for (int i = 0; i < texts.size(); ++i)
        fresh.store().WriteSetting(QString("k%1").arg(i), texts[i]);
    auto again = fresh.reopen();
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(again->ReadSetting(QString("k%1").arg(i), "absent"), texts[i]) << i;

    test::WriteFile(fresh.path(),
                    "[kvr3318]\nO1=06/01/2024,9:00:00,06/01/2024,10:00:00,\nO2=\nlimit_txt_0=5, 6\n"
                    "Graph_txt=Oven 2, \"door, closed\"\n[other]\nlimit_txt_0=x\n");
    auto edited = fresh.reopen();
    EXPECT_EQ(edited->ReadSetting("O1", "x"), "06/01/2024,9:00:00,06/01/2024,10:00:00,");
    EXPECT_EQ(edited->ReadSetting("O2", "x"), "");
    EXPECT_EQ(edited->ReadSetting("limit_txt_0", "x"), "5, 6");
    EXPECT_EQ(edited->ReadSetting("Graph_txt", "x"), "Oven 2, door, closed");
}

// An unreadable or unparsable file is told once and never written; changes stay in memory.
TEST(SettingsStore, ProblemFilesAreToldOnceAndLeftAsTheyAre) {
    const QByteArray handEdited = "# my settings\n[kvr3318]\nGraph_txt=mine\nFdt_1=H:nn:ss\n";
    const struct {
        const char* name;
        std::function<void(const QString&)> make;
        const char *title, *time, *told;  // as loaded; the message after the path
    } cases[] = {
        {"a folder", [](const QString& p) { QDir().mkpath(p); }, "", "HH:nn:ss",
         " could not be read (this is a folder"},
        {"a named pipe", [](const QString& p) { mkfifo(QFile::encodeName(p).constData(), 0600); },
         "", "HH:nn:ss", " could not be read (this is not a plain file"},
        {"a line that is no setting", [&](const QString& p) { test::WriteFile(p, handEdited); },
         "mine", "H:nn:ss",
         " is left as it is because a line of it is not of the form key=value. The values it "
         "holds apply; changes made now apply until the program ends."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("regtest.ini");
        c.make(path);
        SettingsStore store(path);
        Session session;
        LoadSettingsAtStartup(session, store);
        EXPECT_EQ(session.settings.graphTitle, c.title);
        EXPECT_EQ(session.settings.dateTimeFormats, (Formats{"yyyy/mm/dd", c.time}));
        store.WriteSetting("Graph_txt", "new");
        EXPECT_EQ(store.ReadSetting("Graph_txt", "default"), "new");  // for this run
        EXPECT_FALSE(store.writable());
        const auto told = store.TakeProblemMessage("The settings");
        ASSERT_TRUE(told.has_value());
        EXPECT_TRUE(told->contains(path + c.told)) << told->toStdString();
        EXPECT_FALSE(store.TakeProblemMessage("The settings").has_value());
        if (QFileInfo(path).isFile()) EXPECT_EQ(test::ReadFile(path), handEdited);
    }
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
    EXPECT_EQ(fresh.stored("Tick_Dn Tick_UP"), "-2.5 1234.5");
    Session again;
    LoadSettings(again, *fresh.reopen());
    EXPECT_FLOAT_EQ(again.settings.graphBottom, -2.5f);
    EXPECT_FLOAT_EQ(again.settings.graphTop, 1234.5f);
    std::setlocale(LC_NUMERIC, cBefore.c_str());
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace quillon
