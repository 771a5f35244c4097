#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "resources/StringTable.h"
#include "shell/MainFrame.h"
#include "shell/MelodeckApp.h"
#include "shell/MprisAdaptor.h"
#include "shell/ProgramFolder.h"
#include "shell/ShellStarts.h"
#include "shell/SingleInstance.h"
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

// --paths: prints the program folder and where the lyric editor and the help were found (empty
// when not), and ends; for checking an installation.
int printPaths(const StartOptions& options) {
    std::string folder;
    std::string error;
    if (!ProgramFolder::start(options.home, folder, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("folder: %s\ntools: %s\nhelp: %s\n", folder.c_str(),
                ShellStarts::toolPath("Verslet").c_str(), ShellStarts::helpPath().c_str());
    return 0;
}

// Picture and timing runs are players of their own, beside any other.
bool isOneShot(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--screenshot")) ||
           arguments.contains(QStringLiteral("--quit-when-shown"));
}

// The session bus: files handed over by later starts, and the media player interface.
void publishOnBus(CMelodeckApp& player, SingleInstance& instance) {
    const auto open = [&player](const QStringList& files) {
        player.OpenFiles(OpenedFiles::FromPaths(files));
        player.RaiseMainWindow();
    };
    QObject::connect(&instance, &SingleInstance::openRequested, &player, open);
    Mpris::Publish(*player.Document(), {[&player] { player.RaiseMainWindow(); },
                                        [&player] { player.MainFrame()->OnExit(); }, open});
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installQtTranslations(app);
    const QStringList arguments = QApplication::arguments();
    const StartOptions options = CMelodeckApp::ParseOptions(arguments);
    if (arguments.contains(QStringLiteral("--paths"))) {
        return printPaths(options);
    }
    SingleInstance instance;
    const bool oneShot = isOneShot(arguments);
    if (!oneShot && !instance.Register() && SingleInstance::HandOver(options.files.Paths())) {
        return 0;
    }
    CMelodeckApp player;
    const qsizetype shot = arguments.indexOf(QStringLiteral("--screenshot"));
    if (shot >= 0 && shot + 1 < arguments.size()) {
        takeScreenshotLater(player, arguments.at(shot + 1));
    }
    std::string error;
    if (!player.InitInstance(options, error)) {
        QMessageBox::critical(nullptr, QString::fromUtf8(loadString(kStrCaption)),
                              QString::fromStdString(error));
        return 1;
    }
    if (!oneShot) {
        publishOnBus(player, instance);
    }
    return QApplication::exec();
}
