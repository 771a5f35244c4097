#include "library/ui/RenamableTabBar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "library/ui/SongCategories.h"

RenamableTabBar::RenamableTabBar(QWidget* parent) : QTabBar(parent) {
    setShape(QTabBar::RoundedSouth);
    setExpanding(false);
}

void RenamableTabBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && tabAt(event->position().toPoint()) == currentIndex()) {
        BeginRename();
        return;
    }
    QTabBar::mouseDoubleClickEvent(event);
}

void RenamableTabBar::tabInserted(int index) {
    QTabBar::tabInserted(index);
    updateGeometry();
}

void RenamableTabBar::tabRemoved(int index) {
    QTabBar::tabRemoved(index);
    updateGeometry();
}

void RenamableTabBar::BeginRename() {
    if (currentIndex() < 0 || m_editor != nullptr) {
        return;
    }
    m_editedTab = currentIndex();
    m_editor = new QLineEdit(tabText(m_editedTab), this);
    m_editor->setMaxLength(SongCategories::kMaxNameLength);
    m_editor->setGeometry(tabRect(m_editedTab));
    m_editor->selectAll();
    m_editor->installEventFilter(this);
    m_editor->show();
    m_editor->setFocus();
}

bool RenamableTabBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_editor) {
        return QTabBar::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            FinishRename(key != Qt::Key_Escape);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        FinishRename(false);
    }
    return false;
}

void RenamableTabBar::FinishRename(bool accept) {
    QLineEdit* editor = m_editor;
    m_editor = nullptr;
    const QString name = editor->text();
    editor->removeEventFilter(this);
    editor->deleteLater();
    if (accept && !name.isEmpty() && m_editedTab < count()) {
        setTabText(m_editedTab, name);
        emit tabRenamed(m_editedTab, name);
    }
    m_editedTab = -1;
}
