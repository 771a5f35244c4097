#pragma once

class CMelodeckDoc;
class QAction;
class QWidget;

namespace AudioToolCommands {

// Wires "MP3消原唱" to the accompaniment maker and "合成" to the document, whose request opens
// the synthesizer; both dialogs are modal over `window`.
void Connect(QWidget* window, CMelodeckDoc* doc, QAction* accompanimentMaker, QAction* synthesize);

}  // namespace AudioToolCommands
