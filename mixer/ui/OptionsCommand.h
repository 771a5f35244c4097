#pragma once

class CMelodeckDoc;
class QAction;
class QWidget;

// The options command: the dialog, then on OK its values written to the configuration and
// applied by the document at once.
namespace OptionsCommand {

void run(CMelodeckDoc& doc, QWidget* parent);
// Both the menu's and the toolbar's action run it.
void connect(QAction* menuAction, QAction* toolbarAction, CMelodeckDoc& doc, QWidget* parent);

}  // namespace OptionsCommand
