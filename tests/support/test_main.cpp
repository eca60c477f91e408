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
    QTemporaryDir xdg;
    if (xdg.isValid()) {
        qputenv("XDG_STATE_HOME", xdg.path().toLocal8Bit() + "/state");  // recording journals
        for (const auto& [variable, name] :
             {std::pair{"XDG_CONFIG_HOME", "/config"}, {"XDG_RUNTIME_DIR", "/runtime"}}) {
            qputenv(variable, xdg.path().toLocal8Bit() + name);
            QDir().mkpath(xdg.path() + name);
            QFile::setPermissions(xdg.path() + name, QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        }
    }
    if (!qEnvironmentVariableIsSet("QUILLON_PORTS")) qputenv("QUILLON_PORTS", "");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_NUMERIC", "C");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
