#pragma once
// A serial library played from memory, for tests: scripted open and configuration
// results per port, input bytes queued by the test (now, or arriving at a given tick
// of a clock), and a log of every call in order.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QVector>

#include "clock.h"
#include "serial_library.h"

namespace quillon {

class ScriptedSerialLibrary final : public SerialLibrary {
  public:
    struct Call {
        QString name;  // "sio_open", ...
        int port;
        QList<int> args;       // arguments after the port
        QString text() const;  // "sio_ioctl 3 12 3"
    };

    // With a clock, bytes queued with appendInputAt arrive when its tick is reached.
    explicit ScriptedSerialLibrary(const Clock* clock = nullptr) : clock_(clock) {}

    // --- script ---
    // Results of successive sio_open calls on a port; the last one repeats. A port
    // without a script answers SIO_OPEN_FAIL (no such port).
    void setOpenResults(int port, QList<int> results) { openResults_[port] = std::move(results); }
    void setOpenResult(int port, int result) { setOpenResults(port, {result}); }
    // Result of a configuration call ("sio_ioctl", "sio_flowctrl", "sio_DTR", "sio_RTS")
    // on one port, or on every port with port 0. Unscripted calls succeed.
    void setResult(const QString& callName, int result, int port = 0) {
        results_[{callName, port}] = result;
    }
    void appendInput(int port, const QByteArray& bytes) { input_[port].append(bytes); }
    void appendInputAt(int port, qint64 tick, const QByteArray& bytes) {
        scheduled_[port].insert(tick, bytes);
    }
    // The port table the library answers with (empty unless set).
    void setPorts(PortTable ports) { ports_ = std::move(ports); }
    // Whether sio_iqueue, sio_getch and sio_read are logged (off for long streams).
    bool logDataCalls = true;

    // --- observation ---
    QVector<Call> log;
    QStringList logText() const;                     // every call as Call::text()
    QStringList logText(const QString& name) const;  // the calls of one name
    void clearLog() { log.clear(); }
    bool isOpen(int port) const { return open_.contains(port); }
    int queued(int port) { return int(bytes(port).size() - readPos_[port]); }

    // --- the library ---
    int sio_open(int port) override;
    int sio_close(int port) override;
    int sio_ioctl(int port, int baud, int mode) override;
    int sio_flowctrl(int port, int mask) override;
    int sio_DTR(int port, int on) override;
    int sio_RTS(int port, int on) override;
    int sio_iqueue(int port) override;
    int sio_getch(int port) override;
    int sio_read(int port, char* buffer, int len) override;
    int sio_AbortRead(int port) override;
    PortTable ports() const override { return ports_; }

  private:
    void record(const QString& name, int port, QList<int> args, bool data = false);
    int configResult(const QString& name, int port);
    QByteArray& bytes(int port);  // the port's queue after due arrivals

    const Clock* clock_;
    PortTable ports_;
    QHash<int, QList<int>> openResults_;
    QHash<QPair<QString, int>, int> results_;
    QHash<int, QByteArray> input_;
    QHash<int, qsizetype> readPos_;
    QHash<int, QMultiMap<qint64, QByteArray>> scheduled_;
    QHash<int, bool> open_;
};

}  // namespace quillon
