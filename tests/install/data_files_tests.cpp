// The data files the build puts beside the program.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>

#include "install_test_support.h"

namespace {

using quillon::ReadFile;

const QString kRuntimeDir = QStringLiteral(QUILLON_RUNTIME_DIR);

TEST(DataFiles, ChimeIsAShortPcmWave) {
    const QByteArray wav = ReadFile(kRuntimeDir + "/ding.wav");
    ASSERT_GE(wav.size(), 44);
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
    const auto i16 = [&](int at) { return int(qFromLittleEndian<qint16>(wav.constData() + at)); };
    EXPECT_EQ(wav.left(4) + wav.mid(8, 8) + wav.mid(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ(u32(4), quint32(wav.size() - 8));
    EXPECT_EQ(i16(20), 1);  // PCM
    EXPECT_EQ(i16(34), 16);
    const quint32 bytesPerSecond = u32(24) * i16(22) * 2;
    EXPECT_EQ(u32(28), bytesPerSecond);
    ASSERT_EQ(u32(40), quint32(wav.size() - 44));
    EXPECT_GT(u32(40), bytesPerSecond / 5);
    EXPECT_LT(u32(40), bytesPerSecond / 2);
    // Audible, not clipped, and ending on silence (no click when it stops).
    int peak = 0;
    for (int at = 44; at + 1 < wav.size(); at += 2) peak = std::max(peak, std::abs(i16(at)));
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32767);
    EXPECT_LT(std::abs(i16(wav.size() - 2)), 200);
}

TEST(DataFiles, IconHoldsSeveralSizesAndAPngCopy) {
    EXPECT_EQ(QImage(kRuntimeDir + "/quillon.png").size(), QSize(256, 256));
    if (!QImageReader::supportedImageFormats().contains("ico"))
        GTEST_SKIP() << "this Qt has no ICO reader";
    QImageReader reader(kRuntimeDir + "/Mark.ico", "ico");
    QSet<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << i << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.width(), image.height());
        sizes.insert(image.width());
        // Transparent corner, opaque body.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << image.width();
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << image.width();
    }
    for (int size : {16, 32, 48, 256}) EXPECT_TRUE(sizes.contains(size)) << size;
}

TEST(DataFiles, HelpPageAndNoDefaultBranding) {
    const QString help = QString::fromUtf8(ReadFile(kRuntimeDir + "/help.html"));
    for (const char* topic :
         {"<title>", "dialout", "Ctrl+S", "Ctrl+P", "Ctrl+T", "REL", "Save Graph"})
        EXPECT_TRUE(help.contains(topic)) << topic;
    // Without sub.log the built program shows its default title.
    EXPECT_FALSE(QFile::exists(kRuntimeDir + "/sub.log"));
}

}  // namespace
