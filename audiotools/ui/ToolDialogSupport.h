#pragma once

#include <QString>
#include <optional>

#include "audiotools/RunSupport.h"

class QLineEdit;
class QPushButton;
class QWidget;

// What the accompaniment maker and the synthesizer share: their MP3 file choosers, the number
// check of their integer boxes, and their message boxes.
namespace ToolDialogSupport {

// A push button named `name` that Enter never presses by itself.
QPushButton* button(QWidget* parent, const QString& text, const char* name);

// The open-file chooser for one MP3; empty when the user cancels.
QString chooseMp3ToOpen(QWidget* parent);
// The save-file chooser for an MP3, asking before it replaces a file; `defaultSuffix` ("mp3")
// is added to a name typed without one. Empty when the user cancels.
QString chooseMp3ToSave(QWidget* parent, const QString& defaultSuffix = {});

// The box's text as a signed 32-bit integer (blanks around it allowed); none when it is not one.
std::optional<int> integerIn(const QLineEdit* box);
// Takes the integer in `box` into `value`. When the box holds none, says "请键入一个整数。",
// puts `value` back into the box and returns false; `value` keeps its previous number.
bool takeInteger(QLineEdit* box, int& value);

// The five tag boxes of both dialogs, in the order of TagTexts.
struct TagBoxes {
    QLineEdit* title;
    QLineEdit* artist;
    QLineEdit* album;
    QLineEdit* year;
    QLineEdit* comment;
};
void showTag(const TagBoxes& boxes, const TagTexts& tag);
TagTexts takeTag(const TagBoxes& boxes);

// A warning in a message box captioned "Vocalia", shown until the user closes it.
void warn(QWidget* parent, const QString& text);

}  // namespace ToolDialogSupport
