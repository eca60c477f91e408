#pragma once
// What the settings dialog's port list shows beside each COM number: its device file,
// and a note when a device exists that the user may not open.

#include <QString>
#include <QStringList>
#include <functional>

namespace quillon {

struct PortChoice {
    // Device path of a COM number (1..256), "" when there is none.
    std::function<QString(int com)> device;
    // False when the device exists but the user lacks the permission to read and write it.
    std::function<bool(const QString& path)> canOpen;

    // Reads the table again (a USB adapter plugged in since the last look); may be unset.
    std::function<void()> refresh;

    // The program's port table and the real permission check.
    static PortChoice FromSystem();
};

// "COM3", or "COM3  /dev/ttyUSB0", with " (no permission)" when it cannot be opened.
QString PortItemText(int com, const QString& device, bool permitted);
// The note for devices the user may not open; "" when there are none.
QString PortPermissionNote(const QStringList& deniedDevices);

}  // namespace quillon
