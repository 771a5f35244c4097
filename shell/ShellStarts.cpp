#include "shell/ShellStarts.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "shell/ProgramFolder.h"

namespace ShellStarts {

namespace {

// Editors that draw in a terminal; started from a desktop menu they need one of their own.
constexpr std::array kTerminalEditors = {
    "vi",     "vim", "nvim", "nano", "pico",  "emacs-nox", "joe",  "jed",      "micro",    "ne",
    "mcedit", "ed",  "kak",  "hx",   "helix", "mg",        "zile", "vim.tiny", "vim.basic"};

bool needsTerminal(const QString& program) {
    const std::string name = QFileInfo(program).fileName().toStdString();
    return std::find(kTerminalEditors.begin(), kTerminalEditors.end(), name) !=
           kTerminalEditors.end();
}

}  // namespace

std::string findIn(const std::vector<std::string>& folders, const std::string& relative,
                   bool executable) {
    for (const std::string& folder : folders) {
        const QFileInfo file(QString::fromStdString(folder + relative));
        if (file.isFile() && (!executable || file.isExecutable())) {
            return folder + relative;
        }
    }
    return {};
}

std::vector<std::string> resourceFolders() {
    const std::string exe = ProgramFolder::executableFolder();
    return {exe, exe + "../share/vocalia/", ProgramFolder::current()};
}

std::string toolPath(const std::string& name) {
    return findIn(resourceFolders(), ProgramFolder::ToolsFolder + name, true);
}

std::string helpPath() {
    return findIn(resourceFolders(), ProgramFolder::HelpFile, false);
}

bool startTool(const std::string& name, const QStringList& arguments) {
    const std::string path = toolPath(name);
    return !path.empty() && QProcess::startDetached(QString::fromStdString(path), arguments);
}

bool openHelp() {
    const std::string path = helpPath();
    return !path.empty() &&
           QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool openHomePage() {
    return QDesktopServices::openUrl(QUrl(QString::fromUtf8(kHomePageUrl)));
}

QStringList editorCommand(const std::string& path,
                          const std::function<std::string(const char*)>& environment) {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        QStringList command = QProcess::splitCommand(QString::fromStdString(environment(variable)));
        if (command.isEmpty()) {
            continue;
        }
        command << QString::fromStdString(path);
        if (needsTerminal(command.front())) {
            command =
                QStringList{QStringLiteral("x-terminal-emulator"), QStringLiteral("-e")} + command;
        }
        return command;
    }
    return {};
}

bool openInTextEditor(const std::string& path) {
    QStringList command = editorCommand(path, [](const char* variable) {
        const char* value = std::getenv(variable);
        return std::string(value != nullptr ? value : "");
    });
    // Without a terminal emulator a terminal editor cannot run; the desktop's editor can.
    const bool runnable =
        !command.isEmpty() && !QStandardPaths::findExecutable(command.front()).isEmpty();
    if (runnable) {
        const QString program = command.takeFirst();
        return QProcess::startDetached(program, command);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace ShellStarts
