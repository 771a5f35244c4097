#pragma once

class QCoreApplication;

// Qt's own texts (the buttons of message boxes, the file, colour and font choosers) in
// Simplified Chinese like the rest of the programs, whatever the desktop's language. False
// when the translations are not installed; Qt then keeps its English texts.
bool installQtTranslations(QCoreApplication& app);
