// Pictures beside the installer's buttons, drawn so they look the same on every desktop.
#pragma once

#include <QPixmap>
#include <QString>

namespace quillon {

// 0: the medium's Mark.ico (drawn meter if missing), 1: a USB-serial plug, 2: a door.
QPixmap RowPicture(int index, const QString& mediumDir, int size);

}  // namespace quillon
