#include <QApplication>
#include <QMessageBox>

#include "resources/StringTable.h"
#include "shell/MelodeckApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CMelodeckApp player;
    std::string error;
    if (!player.InitInstance(CMelodeckApp::ParseOptions(QApplication::arguments()), error)) {
        QMessageBox::critical(nullptr, QString::fromUtf8(loadString(kStrCaption)),
                              QString::fromStdString(error));
        return 1;
    }
    return QApplication::exec();
}
