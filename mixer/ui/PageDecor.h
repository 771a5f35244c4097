#pragma once

#include <QLabel>
#include <QString>

// The options pages' heading (bold, RGB(200, 100, 100) on white) and hint (blue).
namespace PageDecor {

QLabel* heading(const QString& text, QWidget* parent);
QLabel* hint(const QString& text, QWidget* parent);

}  // namespace PageDecor
