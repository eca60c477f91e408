#pragma once
// Which device file each COM number stands for (COM1 = the first path).
//
// With QUILLON_PORTS set, its colon-separated paths are the whole table and nothing is
// detected (tests and the demo point it at pseudo-terminals). Otherwise the table is
// the serial devices the system really has: /dev/ttyUSB*, /dev/ttyACM*, then the
// /dev/ttyS* with hardware behind them, each group sorted by name, never the console.

#include <QString>
#include <QStringList>

namespace quillon {

class PortTable {
  public:
    PortTable() = default;
    explicit PortTable(QStringList paths) : paths_(std::move(paths)) {}

    // The table the program uses: QUILLON_PORTS when set, else detection.
    static PortTable fromEnvironment();
    // The serial devices of this system. Probes /dev/ttyS* devices, so only the real
    // program calls it (tests always set QUILLON_PORTS).
    static PortTable detect();

    // Device path of a COM number, "" when the table has none.
    QString device(int com) const;
    int count() const { return int(paths_.size()); }
    const QStringList& paths() const { return paths_; }

  private:
    QStringList paths_;
};

// Whether the tty of a /sys/class/tty/<name> folder has serial hardware behind it (a
// legacy ttyS port without a UART has none).
bool HasSerialHardware(const QString& ttySysDir);

// Orders device names by their text part, then by their number (ttyS2 before ttyS10).
bool DeviceNameLess(const QString& a, const QString& b);

}  // namespace quillon
