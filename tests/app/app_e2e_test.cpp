// The whole program starting up: what it loads, its dialogs and its notices.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "program.h"
#include "sim_process.h"

namespace quillon {
namespace {

// Unreadable settings and journal are told in boxes that hold nothing up; dialogs open once.
TEST(AppStartUp, NoticesHoldNothingUpAndEachDialogOpensOnce) {
    QTemporaryDir config, state, folder;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    qputenv("QUILLON_PORTS", "");
    const QString settings = config.filePath("regtest.ini");
    ASSERT_TRUE(QDir().mkpath(settings));  // a folder where the file should be
    QDir().mkpath(state.filePath("quillon"));
    QFile journal(state.filePath("quillon/x.journal"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly) && journal.write("not a journal\n") > 0);
    journal.close();
    Program program(folder.path(), nullptr, std::make_unique<ScriptedFileDialogs>());
    MainWindow& window = program.window();
    window.startUp();  // a modal box would wait here for ever
    window.show();
    program.RecoverJournals();
    EXPECT_EQ(program.session().settings.dateTimeFormats[1], "HH:nn:ss");  // the defaults
    EXPECT_TRUE(window.tickMayRun());
    QStringList notices;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        notices << box->text();
        EXPECT_FALSE(box->isModal()) << qPrintable(box->text());
    }
    ASSERT_EQ(notices.size(), 2) << qPrintable(notices.join('\n'));
    EXPECT_EQ(notices.filter("The settings file " + settings + " could not be read").size(), 1);
    testing::RunUntil([] { return false; }, 700);  // the first ticks too
    QFile maps("/proc/self/maps");
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    EXPECT_FALSE(mapped.contains("libQt6Multimedia") || mapped.contains("plugins/printsupport/"));
    for (const auto& [command, name] :
         {std::pair{"scheduleAction", "scheduleDialog"}, {"optionAction", "settingsDialog"}}) {
        SCOPED_TRACE(command);
        const auto open = [&, name = QString(name)] {
            QList<QWidget*> found;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == name && w->isVisible()) found << w;
            return found;
        };
        window.findChild<QAction*>(command)->trigger();
        ASSERT_EQ(open().size(), 1);
        QWidget* first = open().first();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.findChild<QAction*>(command)->trigger();
        EXPECT_EQ(open(), QList<QWidget*>{first});
        EXPECT_TRUE(QTest::qWaitForWindowActive(first));
    }
    window.findChild<QAction*>("exitAction")->trigger();
    EXPECT_TRUE(QFileInfo(settings).isDir()) << "the settings file is left as it is";
}

}  // namespace
}  // namespace quillon
