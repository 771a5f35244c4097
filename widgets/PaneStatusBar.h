#pragma once

#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <vector>

class QLabel;

// A status bar of fixed-width text panes that report mouse clicks. One pane may stretch; any
// pane can scroll its text sideways (a marquee) when switched on.
class PaneStatusBar : public QStatusBar {
    Q_OBJECT

public:
    struct PaneSpec {
        int width;
        QString text;
        QString toolTip;
        bool stretches = false;
    };

    explicit PaneStatusBar(const std::vector<PaneSpec>& panes, QWidget* parent = nullptr);

    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    int PaneCount() const { return static_cast<int>(m_panes.size()); }
    QLabel* Pane(int pane) const { return m_panes.at(static_cast<size_t>(pane)); }

    // Switches the scrolling of a pane's text on or off.
    void ToggleScrolling(int pane);
    bool IsScrolling(int pane) const { return m_scrollingPane == pane; }

signals:
    void paneClicked(int pane, Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollStep();

    std::vector<QLabel*> m_panes;
    std::vector<QString> m_texts;
    int m_scrollingPane = -1;
    int m_scrollOffset = 0;
    QTimer m_scrollTimer;
};
