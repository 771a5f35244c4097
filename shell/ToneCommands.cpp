#include "shell/ToneCommands.h"

#include <QAction>
#include <QMenu>

#include "media/ToneStage.h"
#include "playback/MelodeckDoc.h"
#include "playback/ToneControl.h"
#include "shell/MainFrame.h"
#include "shell/ProgramFolder.h"
#include "widgets/PaneStatusBar.h"

namespace ToneCommands {

namespace {

struct Item {
    const char* label;
    const char* name;
    QKeyCombination keys;
    void (ToneControl::*command)();
};

void addItems(QMenu* menu, ToneControl* control, std::initializer_list<Item> items) {
    for (const Item& item : items) {
        QAction* action = menu->addAction(QString::fromUtf8(item.label));
        action->setObjectName(QString::fromUtf8(item.name));
        if (item.keys != QKeyCombination()) {
            action->setShortcut(QKeySequence(item.keys));
        }
        QObject::connect(action, &QAction::triggered, control, item.command);
    }
}

}  // namespace

void Build(CMainFrame* frame, CMelodeckDoc* doc, QMenu* playMenu) {
    auto* control = new ToneControl(ProgramFolder::current() + SongKeys::kFileName, frame);
    control->setObjectName(QStringLiteral("ToneControl"));

    QMenu* key = playMenu->addMenu(QStringLiteral("变调"));
    key->setObjectName(QStringLiteral("KeyMenu"));
    addItems(key, control,
             {{"升调", "KeyUp", Qt::CTRL | Qt::Key_Up, &ToneControl::KeyUp},
              {"降调", "KeyDown", Qt::CTRL | Qt::Key_Down, &ToneControl::KeyDown},
              {"原调", "KeyOriginal", Qt::CTRL | Qt::Key_0, &ToneControl::Original}});
    QMenu* tempo = playMenu->addMenu(QStringLiteral("变速"));
    tempo->setObjectName(QStringLiteral("TempoMenu"));
    addItems(tempo, control,
             {{"加快", "TempoUp", Qt::CTRL | Qt::Key_Right, &ToneControl::TempoUp},
              {"减慢", "TempoDown", Qt::CTRL | Qt::Key_Left, &ToneControl::TempoDown},
              {"原速", "TempoOriginal", QKeyCombination(), &ToneControl::OriginalTempo}});
    // The shortcuts work while the menus are closed.
    frame->addActions(key->actions());
    frame->addActions(tempo->actions());

    QObject::connect(doc, &CMelodeckDoc::songStarted, control,
                     [control](const QString& path) { control->SongStarted(path.toStdString()); });
    QObject::connect(control, &ToneControl::toneChanged, frame, [frame](const QString& text) {
        frame->StatusPanes()->SetPaneText(CMainFrame::kPaneSpare, text);
    });
    QObject::connect(control, &ToneControl::storeFailed, frame, [frame](const QString& error) {
        frame->ShowNotice(QStringLiteral("无法保存歌曲的音调：") + error);
    });
}

void AddLiveVocalCut(QMenu* vocalsMenu) {
    QAction* cut = vocalsMenu->addAction(QStringLiteral("实时消原唱"));
    cut->setObjectName(QStringLiteral("LiveVocalCut"));
    cut->setCheckable(true);
    cut->setChecked(PlaybackTone::vocalCut());
    QObject::connect(cut, &QAction::toggled, [](bool on) { PlaybackTone::setVocalCut(on); });
}

}  // namespace ToneCommands
