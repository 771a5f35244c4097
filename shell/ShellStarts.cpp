#include "shell/ShellStarts.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <cstdlib>

#include "shell/ProgramFolder.h"

namespace ShellStarts {

std::string toolPath(const std::string& name) {
    return ProgramFolder::current() + ProgramFolder::ToolsFolder + name;
}

std::string helpPath() {
    return ProgramFolder::current() + ProgramFolder::HelpFile;
}

bool startTool(const std::string& name) {
    const QString path = QString::fromStdString(toolPath(name));
    if (!QFileInfo(path).isExecutable()) {
        return false;
    }
    return QProcess::startDetached(path, {});
}

bool openHelp() {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(helpPath())));
}

bool openHomePage() {
    return QDesktopServices::openUrl(QUrl(QString::fromUtf8(kHomePageUrl)));
}

bool openInTextEditor(const std::string& path) {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const char* editor = std::getenv(variable);
        if (editor != nullptr && *editor != '\0') {
            // The variable may carry arguments ("code --wait").
            QStringList command = QProcess::splitCommand(QString::fromLocal8Bit(editor));
            const QString program = command.takeFirst();
            return QProcess::startDetached(program, command << QString::fromStdString(path));
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace ShellStarts
