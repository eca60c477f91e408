#include "scripted_serial_library.h"

#include <cstring>

namespace quillon {

QString ScriptedSerialLibrary::Call::text() const {
    QString t = name + QLatin1Char(' ') + QString::number(port);
    for (int a : args) t += QLatin1Char(' ') + QString::number(a);
    return t;
}

QStringList ScriptedSerialLibrary::logText() const {
    QStringList lines;
    for (const Call& c : log) lines << c.text();
    return lines;
}

QStringList ScriptedSerialLibrary::logText(const QString& name) const {
    QStringList lines;
    for (const Call& c : log)
        if (c.name == name) lines << c.text();
    return lines;
}

void ScriptedSerialLibrary::record(const QString& name, int port, QList<int> args, bool data) {
    if (data && !logDataCalls) return;
    log.push_back({name, port, std::move(args)});
}

int ScriptedSerialLibrary::configResult(const QString& name, int port) {
    if (!open_.contains(port)) return SIO_BADPORT;
    auto it = results_.find({name, port});
    if (it == results_.end()) it = results_.find({name, 0});
    return it == results_.end() ? SIO_OK : it.value();
}

QByteArray& ScriptedSerialLibrary::bytes(int port) {
    QByteArray& queue = input_[port];
    // Drop what has been read so far once it piles up, keeping reads cheap.
    qsizetype& pos = readPos_[port];
    if (pos > 4096 && pos * 2 > queue.size()) {
        queue.remove(0, pos);
        pos = 0;
    }
    auto sched = scheduled_.find(port);
    if (clock_ && sched != scheduled_.end()) {
        auto& arrivals = sched.value();
        while (!arrivals.isEmpty() && arrivals.firstKey() <= clock_->tickMs())
            queue.append(arrivals.take(arrivals.firstKey()));
    }
    return queue;
}

int ScriptedSerialLibrary::sio_open(int port) {
    record(QStringLiteral("sio_open"), port, {});
    auto it = openResults_.find(port);
    if (it == openResults_.end() || it->isEmpty()) return SIO_OPEN_FAIL;
    const int result = it->size() > 1 ? it->takeFirst() : it->first();
    if (result == SIO_OK) open_[port] = true;
    return result;
}

int ScriptedSerialLibrary::sio_close(int port) {
    record(QStringLiteral("sio_close"), port, {});
    return open_.remove(port) ? SIO_OK : SIO_BADPORT;
}

int ScriptedSerialLibrary::sio_ioctl(int port, int baud, int mode) {
    record(QStringLiteral("sio_ioctl"), port, {baud, mode});
    return configResult(QStringLiteral("sio_ioctl"), port);
}

int ScriptedSerialLibrary::sio_flowctrl(int port, int mask) {
    record(QStringLiteral("sio_flowctrl"), port, {mask});
    return configResult(QStringLiteral("sio_flowctrl"), port);
}

int ScriptedSerialLibrary::sio_DTR(int port, int on) {
    record(QStringLiteral("sio_DTR"), port, {on});
    return configResult(QStringLiteral("sio_DTR"), port);
}

int ScriptedSerialLibrary::sio_RTS(int port, int on) {
    record(QStringLiteral("sio_RTS"), port, {on});
    return configResult(QStringLiteral("sio_RTS"), port);
}

int ScriptedSerialLibrary::sio_iqueue(int port) {
    record(QStringLiteral("sio_iqueue"), port, {}, true);
    if (!open_.contains(port)) return SIO_BADPORT;
    return int(bytes(port).size() - readPos_[port]);
}

int ScriptedSerialLibrary::sio_getch(int port) {
    record(QStringLiteral("sio_getch"), port, {}, true);
    if (!open_.contains(port)) return SIO_BADPORT;
    const QByteArray& queue = bytes(port);
    qsizetype& pos = readPos_[port];
    if (pos >= queue.size()) return SIO_NODATA;
    return static_cast<unsigned char>(queue.at(pos++));
}

int ScriptedSerialLibrary::sio_read(int port, char* buffer, int len) {
    record(QStringLiteral("sio_read"), port, {len}, true);
    if (!open_.contains(port)) return SIO_BADPORT;
    const QByteArray& queue = bytes(port);
    qsizetype& pos = readPos_[port];
    const int n = int(qMin<qsizetype>(len, queue.size() - pos));
    if (n > 0) std::memcpy(buffer, queue.constData() + pos, size_t(n));
    pos += n;
    return n;
}

int ScriptedSerialLibrary::sio_AbortRead(int port) {
    record(QStringLiteral("sio_AbortRead"), port, {});
    return open_.contains(port) ? SIO_OK : SIO_BADPORT;
}

}  // namespace quillon
