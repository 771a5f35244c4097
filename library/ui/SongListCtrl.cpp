#include "library/ui/SongListCtrl.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

SongListCtrl::SongListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

std::vector<int> SongListCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int SongListCtrl::FirstSelectedRow() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

int SongListCtrl::RowAt(const QPoint& viewportPoint) const {
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() ? index.row() : -1;
}

void SongListCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_pressPoint = event->position().toPoint();
        m_dragRow = RowAt(m_pressPoint);
        m_dragging = false;
    }
}

void SongListCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton) || m_dragRow < 0) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    if (!m_dragging && (at - m_pressPoint).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    m_dragging = true;
    const int under = RowAt(at);
    if (under < 0 || under == m_dragRow) {
        return;
    }
    emit rowsSwapped(m_dragRow, under);
    m_dragRow = under;
}

void SongListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const bool dragged = m_dragging;
    m_dragging = false;
    m_dragRow = -1;
    if (!dragged) {
        emit listClicked();
    }
}

void SongListCtrl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z && event->modifiers() == Qt::NoModifier) {
        // The jump is the letter's whole meaning here: the view's own type-ahead search would
        // move the selection again by the raw text.
        emit letterPressed(static_cast<char>('A' + (key - Qt::Key_A)));
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void SongListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void SongListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void SongListCtrl::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile().toStdString());
        }
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}
