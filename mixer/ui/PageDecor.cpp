#include "mixer/ui/PageDecor.h"

namespace PageDecor {

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("heading"));
    label->setStyleSheet(
        QStringLiteral("QLabel { font-weight: bold; color: rgb(200, 100, 100); background: white; "
                       "padding: 3px; }"));
    return label;
}

QLabel* hint(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("hint"));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("QLabel { color: rgb(0, 0, 255); }"));
    return label;
}

}  // namespace PageDecor
