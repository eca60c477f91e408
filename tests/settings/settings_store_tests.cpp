#include <gtest/gtest.h>

#include <QFile>

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
    f.write("[kvr3318]\nO1=06/01/2024,9:00:00,06/01/2024,10:00:00,\nO2=\n");
    f.close();
    auto store = fresh.reopen();
    EXPECT_EQ(store->ReadSetting("O1", "x"), "06/01/2024,9:00:00,06/01/2024,10:00:00,");
    EXPECT_EQ(store->ReadSetting("O2", "x"), "");
}

}  // namespace
}  // namespace quillon
