#include "mixer/ui/OptionsCommand.h"

#include <QAction>

#include "mixer/OptionsValues.h"
#include "mixer/ui/CapturePage.h"
#include "mixer/ui/InterfacePage.h"
#include "mixer/ui/OptionsDlg.h"
#include "playback/MelodeckDoc.h"

namespace OptionsCommand {

void run(CMelodeckDoc& doc, QWidget* parent) {
    COptionsDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    OptionsValues::writeMicrophone(dialog.MicrophonePage().Values());
    OptionsValues::writeRecord(dialog.RecordPage().Values());
    OptionsValues::writeInterface(dialog.InterfacePage().Values());
    doc.ApplyOptions();
}

void connect(QAction* menuAction, QAction* toolbarAction, CMelodeckDoc& doc, QWidget* parent) {
    for (QAction* action : {menuAction, toolbarAction}) {
        if (action != nullptr) {
            QObject::connect(action, &QAction::triggered, parent,
                             [&doc, parent] { run(doc, parent); });
        }
    }
}

}  // namespace OptionsCommand
