#include "port_choice.h"

#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <memory>

#include "port_table.h"

namespace quillon {

PortChoice PortChoice::FromSystem() {
    auto table = std::make_shared<PortTable>(PortTable::fromEnvironment());
    PortChoice choice;
    choice.refresh = [table] { *table = PortTable::fromEnvironment(); };
    choice.device = [table](int com) { return table->device(com); };
    choice.canOpen = [](const QString& path) {
        if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0) return true;
        return errno != EACCES && errno != EPERM;  // a missing device is not a permission matter
    };
    return choice;
}

QString PortItemText(int com, const QString& device, bool permitted) {
    QString text = QStringLiteral("COM%1").arg(com);
    if (device.isEmpty()) return text;
    text += "  " + device;
    if (!permitted) text += " (no permission)";
    return text;
}

QString PortPermissionNote(const QStringList& deniedDevices) {
    if (deniedDevices.isEmpty()) return QString();
    return QStringLiteral(
               "No permission to open %1. Join the dialout group "
               "(sudo usermod -aG dialout $USER), then log out and in again.")
        .arg(deniedDevices.join(", "));
}

}  // namespace quillon
