#include "row_pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

#include "launcher_rules.h"

namespace quillon {

namespace {

const QColor kInk(40, 40, 40);

// Everything is drawn in a 48 × 48 design space.
void DrawMeter(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(242, 176, 30));
    p.drawRoundedRect(QRectF(8, 2, 32, 44), 5, 5);
    p.setBrush(QColor(196, 222, 176));
    p.drawRoundedRect(QRectF(12, 6, 24, 16), 2, 2);
    p.setBrush(QColor(70, 70, 76));
    p.drawEllipse(QPointF(24, 32), 7, 7);
}

void DrawPlug(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(200, 204, 210));  // metal shell
    p.drawRect(QRectF(18, 4, 12, 12));
    p.setBrush(kInk);
    p.drawRect(QRectF(21, 7, 2, 3));
    p.drawRect(QRectF(25, 7, 2, 3));
    p.setBrush(QColor(60, 64, 72));  // moulded body
    p.drawRoundedRect(QRectF(15, 16, 18, 16), 3, 3);
    p.setPen(QPen(QColor(60, 64, 72), 4, Qt::SolidLine, Qt::RoundCap));
    QPainterPath cable;
    cable.moveTo(24, 32);
    cable.cubicTo(24, 42, 36, 38, 40, 46);
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
}

void DrawDoor(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(10, 4, 22, 40));  // frame
    p.setBrush(QColor(150, 95, 50));
    QPolygonF door;
    door << QPointF(10, 4) << QPointF(24, 8) << QPointF(24, 48) << QPointF(10, 44);
    p.drawPolygon(door);
    p.setPen(QPen(QColor(3, 127, 127), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(30, 24), QPointF(44, 24));
    p.drawLine(QPointF(38, 18), QPointF(44, 24));
    p.drawLine(QPointF(38, 30), QPointF(44, 24));
}

}  // namespace

QPixmap RowPicture(int index, const QString& mediumDir, int size) {
    if (index == 0) {
        const QString mark = QDir(mediumDir).filePath(kMarkIconName);
        if (QFileInfo(mark).isFile()) {
            const QPixmap fromMedium = QIcon(mark).pixmap(size, size);
            if (!fromMedium.isNull()) return fromMedium;
        }
    }
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    if (index == 0)
        DrawMeter(p);
    else if (index == 1)
        DrawPlug(p);
    else
        DrawDoor(p);
    return pixmap;
}

}  // namespace quillon
