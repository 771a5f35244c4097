#include <QApplication>
#include <QMainWindow>
#include <QTimer>

// The floor for the start-up benchmark: a Qt program that only shows an empty main window and
// ends, measured the same way as the player.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
