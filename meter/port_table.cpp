#include "port_table.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace quillon {
namespace {

// Device names are matched by hand, here and below: a name filter or a regular
// expression would load the expression engine, half a megabyte, at every start and scan.
QStringList DevicesStartingWith(const QString& prefix) {
    QStringList names;
    for (const QString& name : QDir(QStringLiteral("/dev")).entryList(QDir::System))
        if (name.startsWith(prefix)) names << name;
    std::sort(names.begin(), names.end(), DeviceNameLess);
    return names;
}

// Where the digits at the end of a name begin (its length when there are none).
qsizetype TrailingDigits(const QString& name) {
    qsizetype i = name.size();
    while (i > 0 && name.at(i - 1).isDigit()) --i;
    return i;
}

// The tty names that serve as the system console ("tty0 ttyS0").
QStringList ConsoleNames() {
    QFile file(QStringLiteral("/sys/class/tty/console/active"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll())
        .simplified()
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The 8250 driver's own check: ask the opened device for its port type.
bool UartKnownByIoctl(const QString& name) {
    const QByteArray path = (QStringLiteral("/dev/") + name).toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    const bool known = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return known;
}

}  // namespace

bool HasSerialHardware(const QString& ttySysDir) {
    // A ttyS device exists for every possible legacy port; only some have a UART
    // behind them. The serial core tells the UART type in "type" (0: none), readable
    // without opening the device, which would raise DTR and RTS on whatever is
    // attached and needs the dialout group. The driver name does not tell: since
    // kernel 6.5 every such port hangs off the driver "port", phantom or not.
    if (!QFileInfo::exists(ttySysDir + QStringLiteral("/device/driver"))) return false;
    QFile type(ttySysDir + QStringLiteral("/type"));
    if (type.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const int uart = type.readAll().trimmed().toInt(&ok);
        if (ok) return uart != PORT_UNKNOWN;
    }
    const QFileInfo driver(ttySysDir + QStringLiteral("/device/driver"));
    if (QFileInfo(driver.symLinkTarget()).fileName() != QLatin1String("serial8250")) return true;
    return UartKnownByIoctl(QFileInfo(ttySysDir).fileName());
}

bool DeviceNameLess(const QString& a, const QString& b) {
    const qsizetype na = TrailingDigits(a);
    const qsizetype nb = TrailingDigits(b);
    if (na < a.size() && nb < b.size() && QStringView(a).left(na) == QStringView(b).left(nb))
        return QStringView(a).mid(na).toLongLong() < QStringView(b).mid(nb).toLongLong();
    return a < b;
}

PortTable PortTable::fromEnvironment() {
    if (qEnvironmentVariableIsSet("QUILLON_PORTS")) {
        const QString value = qEnvironmentVariable("QUILLON_PORTS");
        return PortTable(value.split(QLatin1Char(':'), Qt::SkipEmptyParts));
    }
    return detect();
}

PortTable PortTable::detect() {
    const QStringList console = ConsoleNames();
    QStringList paths;
    auto add = [&](const QString& name) {
        if (!console.contains(name)) paths << QStringLiteral("/dev/") + name;
    };
    for (const QString& name : DevicesStartingWith(QStringLiteral("ttyUSB"))) add(name);
    for (const QString& name : DevicesStartingWith(QStringLiteral("ttyACM"))) add(name);
    for (const QString& name : DevicesStartingWith(QStringLiteral("ttyS")))
        if (HasSerialHardware(QStringLiteral("/sys/class/tty/") + name)) add(name);
    return PortTable(paths);
}

QString PortTable::device(int com) const {
    if (com < 1 || com > paths_.size()) return {};
    return paths_.at(com - 1);
}

}  // namespace quillon
