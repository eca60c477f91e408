// The data files the build puts beside the program.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <cstdlib>

#include "install_test_support.h"

namespace {

using quillon::ReadFile;

const QString kRuntimeDir = QStringLiteral(QUILLON_RUNTIME_DIR);

quint32 U32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 U16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

TEST(DataFiles, ChimeIsAShortPcmWave) {
    const QByteArray wav = ReadFile(kRuntimeDir + "/ding.wav");
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(U32(wav, 4), static_cast<quint32>(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(U16(wav, 20), 1);  // PCM
    const quint16 channels = U16(wav, 22);
    const quint32 rate = U32(wav, 24);
    const quint16 bits = U16(wav, 34);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(U32(wav, 28), rate * channels * bits / 8);
    ASSERT_EQ(wav.mid(36, 4), "data");
    const quint32 dataBytes = U32(wav, 40);
    ASSERT_EQ(dataBytes, static_cast<quint32>(wav.size() - 44));
    const double seconds = double(dataBytes) / (rate * channels * bits / 8);
    EXPECT_GT(seconds, 0.2);
    EXPECT_LT(seconds, 0.5);

    // Audible, not clipped, and ending on silence (no click when it stops).
    int peak = 0;
    for (quint32 at = 44; at + 1 < quint32(wav.size()); at += 2)
        peak = std::max(peak, std::abs(int(qint16(U16(wav, int(at))))));
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32767);
    EXPECT_LT(std::abs(int(qint16(U16(wav, wav.size() - 2)))), 200);
}

TEST(DataFiles, IconHoldsSeveralSizesAndAPngCopy) {
    QImageReader reader(kRuntimeDir + "/Mark.ico", "ico");
    if (!QImageReader::supportedImageFormats().contains("ico"))
        GTEST_SKIP() << "this Qt has no ICO reader";
    QSet<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << "image " << i << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.width(), image.height());
        sizes.insert(image.width());
        // Transparent corner, opaque body.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << image.width();
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << image.width();
    }
    for (int size : {16, 32, 48, 256}) EXPECT_TRUE(sizes.contains(size)) << size;

    const QImage png(kRuntimeDir + "/quillon.png");
    EXPECT_EQ(png.size(), QSize(256, 256));
}

TEST(DataFiles, HelpPageAndNoDefaultBranding) {
    const QString help = QString::fromUtf8(ReadFile(kRuntimeDir + "/help.html"));
    EXPECT_TRUE(help.contains("<title>"));
    for (const char* topic : {"dialout", "Ctrl+S", "Ctrl+P", "Ctrl+T", "REL", "Save Graph"})
        EXPECT_TRUE(help.contains(topic)) << topic;
    // Without sub.log the built program shows its default title.
    EXPECT_FALSE(QFile::exists(kRuntimeDir + "/sub.log"));
}

}  // namespace
