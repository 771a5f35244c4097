#include "lyrics/ui/LyricTools.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <cstdlib>

#include "lyrics/LyricLibrary.h"
#include "resources/StringTable.h"
#include "shell/ProgramFolder.h"

namespace {

// The editor command line of an environment variable ("code -w" gives a program and its
// arguments); empty when the variable is unset.
QStringList editorCommand(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? QProcess::splitCommand(QString::fromLocal8Bit(value)) : QStringList();
}

}  // namespace

namespace LyricTools {

void EditLyricFile(const std::string& path) {
    const QString file = QString::fromStdString(path);
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        QStringList command = editorCommand(variable);
        if (!command.isEmpty()) {
            const QString program = command.takeFirst();
            if (QProcess::startDetached(program, command << file)) {
                return;
            }
        }
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void StartLyricEditor() {
    const std::string program = ProgramFolder::current() + ProgramFolder::ToolsFolder + "Verslet";
    QProcess::startDetached(QString::fromStdString(program), {});
}

void AddLyricToLibraryInteractive(QWidget* parent) {
    const QString caption = QString::fromUtf8(loadString(kStrCaption));
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QString(), QString(), QString::fromUtf8("LRC歌词文件 (*.lrc *.txt)"));
    if (chosen.isEmpty()) {
        return;
    }
    const AddLyricResult result = AddLyricToLibrary(ProgramFolder::current(), chosen.toStdString());
    if (result.message.empty()) {
        return;
    }
    QMessageBox::information(parent, caption, QString::fromStdString(result.message));
}

}  // namespace LyricTools
