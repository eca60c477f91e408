#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "settings_form.h"
#include "settings_store.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

TEST(SettingsStore, DefaultPathFollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/quillon-xdg");
    EXPECT_EQ(SettingsStore::DefaultPath(), "/tmp/quillon-xdg/regtest.ini");
    qputenv("XDG_CONFIG_HOME", "relative/dir");  // not absolute: ignored
    EXPECT_EQ(SettingsStore::DefaultPath(), QDir::homePath() + "/.config/regtest.ini");
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(SettingsStore, AbsentKeyGivesDefaultAndWritesReachTheFileUnderTheSection) {
    test::FreshStore fresh;
    EXPECT_EQ(fresh.store().ReadSetting("Graph_txt", "dflt"), "dflt");
    fresh.store().WriteSetting("Graph_txt", "Bench A");
    const QString text = fresh.fileText();
    EXPECT_TRUE(text.contains("[kvr3318]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Graph_txt=Bench A")) << text.toStdString();
    EXPECT_EQ(fresh.reopen()->ReadSetting("Graph_txt", "dflt"), "Bench A");
}

TEST(SettingsStore, TextsComeBackExactly) {
    const QStringList texts = {",,,,",       "06/01/2024,AM 09:00:00,06/01/2024,10:00:00,",
                               "  padded  ", "a=b;c",
                               "@at",        "Ω °C",
                               "",           "C:\\Data\\"};
    test::FreshStore fresh;
    for (int i = 0; i < texts.size(); ++i)
        fresh.store().WriteSetting(QString("k%1").arg(i), texts[i]);
    auto again = fresh.reopen();
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(again->ReadSetting(QString("k%1").arg(i), "absent"), texts[i]) << i;
}

TEST(SettingsStore, HandEditedUnquotedCommasReadAsTheWrittenText) {
    test::FreshStore fresh;
    QFile f(fresh.path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[kvr3318]\nO1=06/01/2024,9:00:00,06/01/2024,10:00:00,\nO2=\n"
        "limit_txt_0=5, 6\nGraph_txt=Oven 2, \"door, closed\"\n[other]\nlimit_txt_0=x\n");
    f.close();
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
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        const char* read;  // Graph_txt as read
        const char* told;  // part of the message after the path
    };
    const QByteArray handEdited = "# my settings\n[kvr3318]\nGraph_txt=mine\nFdt_1=H:nn:ss\n";
    const auto writeHandEdited = [&](const QString& p) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(handEdited);
    };
    const Case cases[] = {
        {"a folder", [](const QString& p) { QDir().mkpath(p); }, "default",
         " could not be read (this is a folder"},
        {"a named pipe", [](const QString& p) { mkfifo(QFile::encodeName(p).constData(), 0600); },
         "default", " could not be read (this is not a plain file"},
        {"a line that is no setting", writeHandEdited, "mine",
         " is left as it is because a line of it is not of the form key=value. The values it "
         "holds apply; changes made now apply until the program ends."},
    };
    for (const Case& c : cases) {
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
    EXPECT_EQ(session.settings.Graph_txt, "mine");
    EXPECT_EQ(session.settings.Fdt[1], "H:nn:ss");
    EXPECT_EQ(session.settings.Fdt[0], "yyyy/mm/dd");
    EXPECT_EQ(test::ReadFile(path), handEdited);
}

TEST(SettingsStore, FailedWriteIsToldOnceWithTheReason) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("config"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
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
