#pragma once
// The window's own pictures, drawn with QPainter at the size they are shown: toolbar
// icons, the readout's bar graph and sign, the buzzer and diode symbols, and a program
// icon for when "Mark.ico" is missing.

#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

namespace quillon {

// Bar-graph pictures: 1..61 show n - 1 lit segments of 60 (one per 1000 counts), 62 a
// reading that is not a number, 63 idle. Any other number draws the idle picture.
constexpr int kBarImages = 63;
constexpr int kBarNotANumber = 62;
constexpr int kBarIdle = 63;
QImage BarGraphImage(int n, QSize size);
// The same picture drawn segment by segment, as BarGraphImage draws it at a new size.
QImage BarGraphDrawnWhole(int n, QSize size);

// Sign pictures: 1 positive, 2 negative.
QImage SignImage(int n, QSize size);

QImage BuzzerSymbol(QSize size);
QImage DiodeSymbol(QSize size);

// Toolbar icons by button key ("Open", "Save", "Print", "Clear", "Link", "Start",
// "Pause", "Stop", "Help").
QIcon ToolbarIcon(const QString& key);

// A drawn program icon.
QIcon ProgramIcon();
// The pictures of an icon file (Mark.ico) up to 64 pixels, what a title bar and a task
// switcher show; larger ones are not decoded, which spares start-up time and memory.
// Null when the file has no such picture.
QIcon WindowIconFromFile(const QString& path);

}  // namespace quillon
