#include "audiotools/ui/ToolDialogSupport.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "resources/StringTable.h"

namespace ToolDialogSupport {

QPushButton* button(QWidget* parent, const QString& text, const char* name) {
    auto* pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setAutoDefault(false);
    return pushButton;
}

namespace {

const QString& mp3Filter() {
    static const QString filter = QStringLiteral("MP3音乐文件(*.mp3) (*.mp3)");
    return filter;
}

}  // namespace

QString chooseMp3ToOpen(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), mp3Filter());
}

QString chooseMp3ToSave(QWidget* parent, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), mp3Filter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<int> integerIn(const QLineEdit* box) {
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool takeInteger(QLineEdit* box, int& value) {
    if (const std::optional<int> typed = integerIn(box)) {
        value = *typed;
        return true;
    }
    warn(box->window(), QStringLiteral("请键入一个整数。"));
    box->setText(QString::number(value));
    return false;
}

void warn(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QString::fromUtf8(loadString(kStrCaption)), text);
}

void showTag(const TagBoxes& boxes, const TagTexts& tag) {
    boxes.title->setText(QString::fromStdString(tag.title));
    boxes.artist->setText(QString::fromStdString(tag.artist));
    boxes.album->setText(QString::fromStdString(tag.album));
    boxes.year->setText(QString::fromStdString(tag.year));
    boxes.comment->setText(QString::fromStdString(tag.comment));
}

TagTexts takeTag(const TagBoxes& boxes) {
    return {boxes.title->text().toStdString(), boxes.artist->text().toStdString(),
            boxes.album->text().toStdString(), boxes.year->text().toStdString(),
            boxes.comment->text().toStdString()};
}

}  // namespace ToolDialogSupport
