#include <QApplication>
#include <QFileInfo>

#include "lyriceditor/ui/VersletDlg.h"
#include "widgets/QtTranslations.h"

// Verslet [SONG.mp3]: the lyric editor, with the song already chosen when one is given.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installQtTranslations(app);
    CVersletDlg dialog;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        dialog.ChooseSong(QFileInfo(arguments.at(1)).absoluteFilePath());
    }
    QObject::connect(&dialog, &QDialog::finished, &app, &QApplication::quit);
    dialog.show();
    return QApplication::exec();
}
