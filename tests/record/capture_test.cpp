// The serial layer's raw capture and the simulator's reader of it, which plays it back.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <sstream>

#include "capture_file.h"
#include "capture_serial_library.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

// What the simulator's reader takes: each read's time and bytes, then where it stopped.
std::string ReadBack(const std::string& text) {
    std::istringstream in(text);
    metersim::CaptureReader reader(in);
    std::ostringstream out;
    metersim::CapturedRead read;
    while (reader.next(&read)) {
        out << read.seconds << std::hex;
        for (int byte : read.bytes) out << ' ' << byte;
        out << std::dec << "; ";
    }
    return out.str() + reader.error();
}

TEST(Capture, EveryByteWithItsTimeAndTheReaderTakesWhatItCan) {
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
    file.seek(0);
    EXPECT_EQ(ReadBack(file.readAll().toStdString()), "0.501234 f0; 0.50124 11 2 31; ");
    // A capture file that cannot be made is said, and the line still works.
    CaptureSerialLibrary none(line, dir.filePath("line.txt/line.txt"));
    EXPECT_FALSE(none.isCapturing());
    EXPECT_TRUE(none.errorText().endsWith("line.txt/line.txt: Not a directory"))
        << qPrintable(none.errorText());
    EXPECT_EQ(none.sio_open(1), SIO_OK);
    // The reader takes what it can and says where it stops.
    const std::pair<const char*, const char*> cases[] = {
        {"# note\r\n\r\n0.5 F0 11\r\n  # 1.0 note\n0.6 02\n", "0.5 f0 11; 0.6 2; "},
        {"0.5 F0 11\n0.6 0", "0.5 f0 11; "},  // cut off mid-line
        {"0.5 F0 11\n0.6 0\n0.7 F0\n", "0.5 f0 11; line 2: \"0\" is not a byte in hexadecimal"},
        {"0.5 F0\nsoon F0\n", "0.5 f0; line 2: \"soon\" is not a time in seconds"},
        {"0.5\n", "line 1: a time without bytes"}};
    for (const auto& [text, read] : cases) EXPECT_EQ(ReadBack(text), read) << text;
}

}  // namespace
}  // namespace quillon
