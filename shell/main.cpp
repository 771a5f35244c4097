#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

#include "resources/StringTable.h"
#include "shell/ProgramFolder.h"

namespace {

std::string homeOption(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--home"));
    return (at >= 0 && at + 1 < arguments.size()) ? arguments.at(at + 1).toStdString() : "";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string folder;
    std::string error;
    if (!ProgramFolder::start(homeOption(QApplication::arguments()), folder, &error)) {
        QMessageBox::critical(nullptr, QString::fromUtf8(loadString(kStrCaption)),
                              QString::fromStdString(error));
        return 1;
    }
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(loadString(kStrCaption)));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
