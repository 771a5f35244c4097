#pragma once

#include <QLineEdit>

// An edit that holds a number, checked when the dialog takes its values: a text that is not a
// number shows "请键入一个整数。" (or "请键入一个数。") and the value keeps what it held.
namespace NumberField {

void take(QLineEdit* edit, int& value);
void take(QLineEdit* edit, double& value);
void show(QLineEdit* edit, int value);
void show(QLineEdit* edit, double value);

}  // namespace NumberField
