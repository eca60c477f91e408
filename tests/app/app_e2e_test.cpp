// The whole program starting up: what it loads, its dialogs, and its notices about a
// settings file or a journal it cannot use.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "program.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::RunUntil;

// Start-up loads neither the sound libraries nor the system's print support (the CUPS
// plugin): the first alarm and the first printout load them. Two windows on one form state
// would undo each other (a Clear in one, a Save in the other): each of the settings and
// schedule commands shows its window once and brings it forward when asked again.
TEST(AppStartUp, LoadsNeitherSoundNorPrintSupportAndOpensEachDialogOnce) {
    QTemporaryDir folder;
    qputenv("QUILLON_PORTS", "");
    Program program(folder.path(), std::make_unique<ScriptedMessageBoxes>(),
                    std::make_unique<ScriptedFileDialogs>());
    MainWindow& window = program.window();
    window.startUp();
    window.show();
    RunUntil([] { return false; }, 700);  // the first ticks too
    QFile maps("/proc/self/maps");
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    EXPECT_FALSE(mapped.contains("libQt6Multimedia"));
    EXPECT_FALSE(mapped.contains("plugins/printsupport/"));

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
        first->close();
    }
}

// A settings file that cannot be read is told at start, once, and left as it is.
TEST(AppSettings, UnreadableSettingsFileIsToldAtStart) {
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString path = config.filePath("regtest.ini");
    ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should be
    {
        QTemporaryDir folder;
        auto boxes = std::make_unique<ScriptedMessageBoxes>();
        ScriptedMessageBoxes& messages = *boxes;
        Program program(folder.path(), std::move(boxes), std::make_unique<ScriptedFileDialogs>());
        program.window().startUp();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains(path)) << messages.shown[0].text.toStdString();
        EXPECT_EQ(program.session().settings.dateTimeFormats[1], "HH:nn:ss");  // the defaults apply
        program.window().findChild<QAction*>("exitAction")->trigger();
        EXPECT_EQ(messages.shown.size(), 1);
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
    qputenv("XDG_CONFIG_HOME", saved);
}

// The start-up notices (a settings file kept as it is, a journal that could not be
// recovered) stand beside the window without holding up its ticks: after a power cut
// nobody may be there to press OK.
TEST(AppSettings, StartUpNoticesHoldNothingUp) {
    QTemporaryDir config, state, folder;
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    qputenv("QUILLON_PORTS", "");
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(config.filePath("regtest.ini"), "# mine\n[kvr3318]\nFdt_0=yyyy/mm/dd\n");
    write(state.filePath("quillon/x.journal"), "not a journal\n");
    // A modal box would wait here for ever: it is closed after a while and the test fails.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(3000);
    {
        Program program(folder.path(), nullptr, std::make_unique<ScriptedFileDialogs>());
        program.window().startUp();
        program.window().show();
        program.RecoverJournals();
        int notices = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible()) continue;
            ++notices;
            EXPECT_FALSE(box->isModal()) << qPrintable(box->text());
        }
        EXPECT_EQ(notices, 2);
        EXPECT_TRUE(program.window().tickMayRun());
        program.window().findChild<QAction*>("exitAction")->trigger();
    }
    qputenv("XDG_CONFIG_HOME", savedConfig);
    qputenv("XDG_STATE_HOME", savedState);
}

}  // namespace
}  // namespace quillon
