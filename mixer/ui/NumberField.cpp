#include "mixer/ui/NumberField.h"

#include <QMessageBox>

#include "resources/StringTable.h"

namespace {

void complain(QLineEdit* edit, const char* message) {
    QMessageBox::warning(edit->window(), QString::fromUtf8(loadString(kStrCaption)),
                         QString::fromUtf8(message));
}

}  // namespace

namespace NumberField {

void take(QLineEdit* edit, int& value) {
    bool ok = false;
    const int number = edit->text().trimmed().toInt(&ok);
    if (!ok) {
        complain(edit, "请键入一个整数。");
        return;
    }
    value = number;
}

void take(QLineEdit* edit, double& value) {
    bool ok = false;
    const double number = edit->text().trimmed().toDouble(&ok);
    if (!ok) {
        complain(edit, "请键入一个数。");
        return;
    }
    value = number;
}

void show(QLineEdit* edit, int value) {
    edit->setText(QString::number(value));
}

// Shortest text that reads back as the same single-precision value: 0.005, not 0.0049999.
void show(QLineEdit* edit, double value) {
    edit->setText(QString::number(static_cast<float>(value), 'g', 6));
}

}  // namespace NumberField
