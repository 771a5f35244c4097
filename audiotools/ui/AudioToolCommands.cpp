#include "audiotools/ui/AudioToolCommands.h"

#include <QAction>

#include "audiotools/ui/AccompanimentDlg.h"
#include "audiotools/ui/SynthesizerDlg.h"
#include "playback/MelodeckDoc.h"

namespace AudioToolCommands {

void Connect(QWidget* window, CMelodeckDoc* doc, QAction* accompanimentMaker, QAction* synthesize) {
    QObject::connect(accompanimentMaker, &QAction::triggered, window, [window] {
        CAccompanimentDlg dialog(window);
        dialog.exec();
    });
    QObject::connect(synthesize, &QAction::triggered, doc, &CMelodeckDoc::OnSynthesize);
    QObject::connect(doc, &CMelodeckDoc::synthesizerRequested, window,
                     [window](const QString& music, const QString& title) {
                         CSynthesizerDlg dialog(window, music, title);
                         dialog.exec();
                     });
}

}  // namespace AudioToolCommands
