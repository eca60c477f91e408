// Draws the program icon, a hand-held meter recording a trend, and writes it as
// "Mark.ico" (several sizes), as a 256-pixel PNG for the desktop entry and, when a
// folder is named, as the desktop's icon theme sizes <folder>/<n>x<n>/apps/quillon.png.
//
// Usage: quillon_make_icon <Mark.ico> <quillon.png> [<hicolor folder>]
//
// Qt's ICO writer stores a single image per file, so the container is written here:
// 32-bit bitmaps for the small sizes (read by every ICO reader) and a PNG for 256.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QtEndian>
#include <cstdio>
#include <vector>

namespace {

// Drawn in a 256 × 256 design space and scaled, so every size has the same shape.
QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const qreal outline = size < 32 ? 10 : 6;  // thicker lines stay visible when small

    // Body.
    p.setPen(QPen(QColor(40, 40, 40), outline));
    p.setBrush(QColor(242, 176, 30));
    p.drawRoundedRect(QRectF(40, 8, 176, 240), 28, 28);

    // Display with a rising trend curve.
    p.setPen(QPen(QColor(30, 50, 40), outline * 0.8));
    p.setBrush(QColor(196, 222, 176));
    const QRectF lcd(60, 28, 136, 92);
    p.drawRoundedRect(lcd, 10, 10);
    QPainterPath trend;
    trend.moveTo(72, 100);
    trend.lineTo(96, 84);
    trend.lineTo(116, 92);
    trend.lineTo(140, 60);
    trend.lineTo(160, 70);
    trend.lineTo(184, 42);
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(QColor(3, 127, 127), size < 32 ? 16 : 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trend);

    // Rotary switch with its pointer.
    p.setPen(QPen(QColor(40, 40, 40), outline));
    p.setBrush(QColor(70, 70, 76));
    p.drawEllipse(QPointF(128, 170), 38, 38);
    p.setPen(QPen(QColor(245, 245, 245), outline * 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(128, 170), QPointF(150, 144));

    // Test lead sockets, black and red; left out where they would be a blur.
    if (size >= 32) {
        p.setPen(QPen(QColor(40, 40, 40), outline * 0.8));
        p.setBrush(QColor(30, 30, 30));
        p.drawEllipse(QPointF(84, 226), 12, 12);
        p.setBrush(QColor(210, 40, 40));
        p.drawEllipse(QPointF(172, 226), 12, 12);
    }
    p.end();
    return image;
}

QByteArray PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void AppendLE16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void AppendLE32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// A 32-bit BGRA device-independent bitmap as an ICO entry: header with doubled
// height, colour rows bottom-up, then the 1-bit transparency mask.
QByteArray DibBytes(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    AppendLE32(out, 40);
    AppendLE32(out, static_cast<quint32>(w));
    AppendLE32(out, static_cast<quint32>(h * 2));
    AppendLE16(out, 1);   // planes
    AppendLE16(out, 32);  // bits per pixel
    AppendLE32(out, 0);   // no compression
    AppendLE32(out, static_cast<quint32>(w * h * 4 + maskStride * h));
    for (int i = 0; i < 4; ++i) AppendLE32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) AppendLE32(out, line[x]);  // 0xAARRGGBB → B G R A
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray IcoBytes(const std::vector<QImage>& images) {
    std::vector<QByteArray> entries;
    for (const QImage& image : images)
        entries.push_back(image.width() >= 256 ? PngBytes(image) : DibBytes(image));

    QByteArray out;
    AppendLE16(out, 0);  // reserved
    AppendLE16(out, 1);  // icon
    AppendLE16(out, static_cast<quint16>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        const int h = images[i].height();
        out.append(static_cast<char>(w >= 256 ? 0 : w));  // 0 means 256
        out.append(static_cast<char>(h >= 256 ? 0 : h));
        out.append('\0');  // no palette
        out.append('\0');
        AppendLE16(out, 1);
        AppendLE16(out, 32);
        AppendLE32(out, static_cast<quint32>(entries[i].size()));
        AppendLE32(out, offset);
        offset += static_cast<quint32>(entries[i].size());
    }
    for (const QByteArray& entry : entries) out.append(entry);
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <Mark.ico> <quillon.png> [<hicolor folder>]\n", argv[0]);
        return 2;
    }
    std::vector<QImage> images;
    for (int size : {16, 24, 32, 48, 64, 256}) images.push_back(DrawIcon(size));

    const QString icoPath = QString::fromLocal8Bit(argv[1]);
    const QString pngPath = QString::fromLocal8Bit(argv[2]);
    if (!WriteFile(icoPath, IcoBytes(images)) || !WriteFile(pngPath, PngBytes(images.back()))) {
        std::fprintf(stderr, "%s: cannot write the icon files\n", argv[0]);
        return 1;
    }
    if (argc == 4) {
        const QString theme = QString::fromLocal8Bit(argv[3]);
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString dir = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
            if (!QDir().mkpath(dir) ||
                !WriteFile(dir + QStringLiteral("/quillon.png"), PngBytes(DrawIcon(size)))) {
                std::fprintf(stderr, "%s: cannot write the icons in %s\n", argv[0], argv[3]);
                return 1;
            }
        }
    }
    return 0;
}
