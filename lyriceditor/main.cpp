#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Verslet"));
    window.resize(480, 360);
    window.show();
    return QApplication::exec();
}
