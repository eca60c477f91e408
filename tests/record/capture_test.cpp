// The serial layer's raw capture of every byte read, with its time.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "capture_serial_library.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

TEST(Capture, EveryByteWithItsTimeAndAFileThatCannotBeMade) {
    QTemporaryDir dir;
    ScriptedSerialLibrary line;
    line.setOpenResult(1, SIO_OK);
    line.appendInput(1, QByteArray("\xF0\x11\x02\x31", 4));
    qint64 us = 5000000;  // any start: times count from the capture's own
    {
        CaptureSerialLibrary capture(line, dir.filePath("line.txt"), [&us] { return us; });
        ASSERT_TRUE(capture.isCapturing()) << qPrintable(capture.errorText());
        us += 210;
        EXPECT_EQ(capture.sio_open(1), SIO_OK);
        EXPECT_EQ(capture.sio_open(2), SIO_OPEN_FAIL) << "results pass through";
        EXPECT_EQ(capture.sio_iqueue(1), 4);
        us = 5501234;
        EXPECT_EQ(capture.sio_getch(1), 0xF0);
        char bytes[8] = {};
        us += 6;
        EXPECT_EQ(capture.sio_read(1, bytes, 8), 3);
        EXPECT_EQ(QByteArray(bytes, 3), QByteArray("\x11\x02\x31", 3));
        EXPECT_EQ(capture.sio_read(1, bytes, 8), 0) << "nothing read, nothing written";
        us = 7000000;
        capture.sio_close(1);
    }
    QFile file(dir.filePath("line.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    EXPECT_TRUE(lines.value(1).startsWith("# started 20")) << qPrintable(lines.value(1));
    lines.removeAt(1);
    EXPECT_EQ(lines,
              QStringList({"# QUILLON serial capture 1", "# 0.000210 COM1 opened", "0.501234 F0",
                           "0.501240 11 02 31", "# 2.000000 COM1 closed", ""}));
    // A capture file that cannot be made is said, and the line still works.
    CaptureSerialLibrary none(line, dir.filePath("line.txt/line.txt"));
    EXPECT_FALSE(none.isCapturing());
    EXPECT_TRUE(none.errorText().endsWith("line.txt/line.txt: Not a directory"))
        << qPrintable(none.errorText());
    EXPECT_EQ(none.sio_open(1), SIO_OK);
}

}  // namespace
}  // namespace quillon
