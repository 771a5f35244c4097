#include "lyrics/ui/LyricTools.h"

#include <QFileDialog>
#include <QMessageBox>

#include "lyrics/LyricLibrary.h"
#include "resources/StringTable.h"
#include "shell/ProgramFolder.h"

namespace LyricTools {

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
