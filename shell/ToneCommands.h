#pragma once

class CMainFrame;
class CMelodeckDoc;
class QMenu;

// The key, tempo and live vocal reduction commands of the main window: the "变调" and "变速"
// submenus of the play menu with their shortcuts, the live vocal item of the vocals menu, and
// the key and tempo shown in the status bar's right-hand pane while they differ from the
// original. Each song's key is kept in the program folder.
namespace ToneCommands {

// The key and tempo submenus at the end of `playMenu`.
void Build(CMainFrame* frame, CMelodeckDoc* doc, QMenu* playMenu);
// The live vocal reduction, a check item beside the channel items.
void AddLiveVocalCut(QMenu* vocalsMenu);

}  // namespace ToneCommands
