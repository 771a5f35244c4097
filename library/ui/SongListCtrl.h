#pragma once

#include <QTreeWidget>
#include <string>
#include <vector>

// The song list control: two columns (name, time), several rows selectable, names editable in
// place on request. A row dragged with the left button travels under the cursor one swap at a
// time; files dropped from outside are offered to the owner; a letter key is offered for the
// jump by initial before the default handling.
class SongListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    explicit SongListCtrl(QWidget* parent = nullptr);

    // Selected rows, top first.
    std::vector<int> SelectedRows() const;
    // The first selected row, -1 when none.
    int FirstSelectedRow() const;
    int RowAt(const QPoint& viewportPoint) const;

signals:
    // A left click anywhere in the list (not the end of a drag).
    void listClicked();
    // The dragged row and the row under the cursor should change places.
    void rowsSwapped(int dragged, int under);
    void filesDropped(const std::vector<std::string>& paths);
    // An upper-case letter 'A' to 'Z' was pressed.
    void letterPressed(char letter);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int m_dragRow = -1;
    bool m_dragging = false;
    QPoint m_pressPoint;
};
