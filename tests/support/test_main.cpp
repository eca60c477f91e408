// Test entry point shared by every test program.
//
// Before Qt starts, each program gets fresh, private XDG folders (so the settings
// store is never the user's) and, unless a test names ports itself, an empty port
// table (so no test ever opens a real serial device).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#ifdef QUILLON_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    QTemporaryDir xdg;
    if (xdg.isValid()) {
        const QByteArray base = xdg.path().toLocal8Bit();
        qputenv("XDG_CONFIG_HOME", base + "/config");
        qputenv("XDG_RUNTIME_DIR", base + "/runtime");
        qputenv("XDG_STATE_HOME", base + "/state");  // recording journals
        QDir().mkpath(xdg.path() + "/config");
        QDir().mkpath(xdg.path() + "/runtime");
        QFile::setPermissions(xdg.path() + "/runtime",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    if (!qEnvironmentVariableIsSet("QUILLON_PORTS")) qputenv("QUILLON_PORTS", "");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_NUMERIC", "C");

    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
