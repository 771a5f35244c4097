#pragma once

#include <QTabBar>

class QLineEdit;

// A tab strip whose selected tab can be renamed in place: a double click on it opens an editor
// over the tab, limited to the longest category name; Enter accepts, Esc or leaving it cancels.
class RenamableTabBar : public QTabBar {
    Q_OBJECT

public:
    explicit RenamableTabBar(QWidget* parent = nullptr);

    // Opens the editor on the selected tab.
    void BeginRename();
    // The open editor, null when none is open.
    QLineEdit* Editor() const { return m_editor; }

signals:
    // The user accepted a new, non-empty name for tab `index`.
    void tabRenamed(int index, const QString& name);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A hidden tab bar does not tell its layout that its size hint changed, so tabs added
    // before the window shows would get no room.
    void tabInserted(int index) override;
    void tabRemoved(int index) override;

private:
    void FinishRename(bool accept);

    QLineEdit* m_editor = nullptr;
    int m_editedTab = -1;
};
