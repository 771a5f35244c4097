#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "resources/StringTable.h"
#include "shell/MainFrame.h"
#include "shell/MelodeckApp.h"
#include "widgets/QtTranslations.h"

namespace {

// --screenshot FILE: saves a picture of the main window a few seconds after it shows (the
// README's picture) and ends.
constexpr int kScreenshotDelayMs = 9000;

void takeScreenshotLater(CMelodeckApp& player, const QString& path) {
    QObject::connect(&player, &CMelodeckApp::mainWindowShown, &player, [&player, path] {
        QTimer::singleShot(kScreenshotDelayMs, &player, [&player, path] {
            player.MainFrame()->grab().save(path);
            QApplication::quit();
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installQtTranslations(app);
    CMelodeckApp player;
    const QStringList arguments = QApplication::arguments();
    const qsizetype shot = arguments.indexOf(QStringLiteral("--screenshot"));
    if (shot >= 0 && shot + 1 < arguments.size()) {
        takeScreenshotLater(player, arguments.at(shot + 1));
    }
    std::string error;
    if (!player.InitInstance(CMelodeckApp::ParseOptions(arguments), error)) {
        QMessageBox::critical(nullptr, QString::fromUtf8(loadString(kStrCaption)),
                              QString::fromStdString(error));
        return 1;
    }
    return QApplication::exec();
}
