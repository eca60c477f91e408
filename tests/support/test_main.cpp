// Every test program: private XDG folders and, unless a test names some, no serial ports.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#ifdef QUILLON_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    QTemporaryDir xdg;  // made for its owner only, as a runtime folder must be
    const QByteArray home = xdg.path().toLocal8Bit();
    qputenv("XDG_STATE_HOME", home + "/state");  // recording journals
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_RUNTIME_DIR", home);
    QDir().mkpath(xdg.path() + "/config");
    if (!qEnvironmentVariableIsSet("QUILLON_PORTS")) qputenv("QUILLON_PORTS", "");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_NUMERIC", "C");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
