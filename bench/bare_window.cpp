// The yardstick for QUILLON's start-up figures: the least a Qt program with a main
// window and a menu bar costs on this machine. The window has the size of QUILLON's
// main window at its design size, so that both pay alike for the window's pixels (the
// backing store alone is several megabytes). Shows its window and runs until closed.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    window.resize(1188, 813);  // 11880 x 7540 twips, a menu bar and a 36-pixel toolbar
    window.show();
    return QApplication::exec();
}
