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

TEST(DataFiles, ChimeIsAShortPcmWaveAndTheIconHoldsSeveralSizes) {
    const QByteArray wav = ReadFile(kRuntimeDir + "/ding.wav");
    ASSERT_GE(wav.size(), 44);
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
    const auto i16 = [&](int at) { return int(qFromLittleEndian<qint16>(wav.constData() + at)); };
    EXPECT_EQ(wav.left(4) + wav.mid(8, 8) + wav.mid(36, 4), "RIFFWAVEfmt data");
    // Sizes, 16-bit mono PCM at 22050 per second; a fifth to half a second long.
    EXPECT_EQ(
        QList<qint64>({u32(4), u32(16), i16(20), i16(22), u32(24), u32(28), i16(32), i16(34)}),
        QList<qint64>({wav.size() - 8, 16, 1, 1, 22050, 44100, 2, 16}));
    ASSERT_EQ(u32(40), quint32(wav.size() - 44));
    EXPECT_TRUE(u32(40) > 44100 / 5 && u32(40) < 44100 / 2) << u32(40);
    // Audible, not clipped, and ending on silence (no click when it stops).
    int peak = 0;
    for (int at = 44; at + 1 < wav.size(); at += 2) peak = std::max(peak, std::abs(i16(at)));
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32767);
    EXPECT_LT(std::abs(i16(wav.size() - 2)), 200);
    // The icon in several sizes, and a PNG copy.
    EXPECT_EQ(QImage(kRuntimeDir + "/quillon.png").size(), QSize(256, 256));
    if (!QImageReader::supportedImageFormats().contains("ico"))
        GTEST_SKIP() << "this Qt has no ICO reader";
    QImageReader reader(kRuntimeDir + "/Mark.ico", "ico");
    QSet<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << i << ": " << reader.errorString().toStdString();
        sizes.insert(image.width() * 1000 + image.height());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << image.width();  // transparent corner
    }
    EXPECT_EQ(sizes, QSet<int>({16016, 24024, 32032, 48048, 64064, 256256}));
}

}  // namespace
