// The installation medium's launcher: starts the setup of the main program or the
// serial-port access setup, and hands the medium's branding to the installed program.
#include <QApplication>

#include "install_launcher.h"
#include "installer_window.h"
#include "process_starter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("install"));

    quillon::DetachedProcessStarter starter;
    quillon::InstallLauncher launcher(QCoreApplication::applicationDirPath(), starter);
    quillon::InstallerWindow window(launcher);
    window.show();
    return QApplication::exec();
}
