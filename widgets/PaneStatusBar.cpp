#include "widgets/PaneStatusBar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {
constexpr int kScrollPeriodMs = 250;
}

PaneStatusBar::PaneStatusBar(const std::vector<PaneSpec>& panes, QWidget* parent)
    : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (const PaneSpec& pane : panes) {
        auto* label = new QLabel(pane.text, this);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setToolTip(pane.toolTip);
        label->setMinimumWidth(pane.width);
        if (!pane.stretches) {
            label->setFixedWidth(pane.width);
        }
        label->installEventFilter(this);
        addPermanentWidget(label, pane.stretches ? 1 : 0);
        m_panes.push_back(label);
        m_texts.push_back(pane.text);
    }
    connect(&m_scrollTimer, &QTimer::timeout, this, &PaneStatusBar::scrollStep);
}

void PaneStatusBar::SetPaneText(int pane, const QString& text) {
    QString& stored = m_texts.at(static_cast<size_t>(pane));
    // The status timer writes the same text every second; a scrolling pane keeps its place.
    if (pane == m_scrollingPane && stored == text) {
        return;
    }
    stored = text;
    if (pane == m_scrollingPane) {
        m_scrollOffset = 0;
    }
    m_panes.at(static_cast<size_t>(pane))->setText(text);
}

QString PaneStatusBar::PaneText(int pane) const {
    return m_texts.at(static_cast<size_t>(pane));
}

void PaneStatusBar::ToggleScrolling(int pane) {
    if (m_scrollingPane == pane) {
        m_scrollingPane = -1;
        m_scrollTimer.stop();
        SetPaneText(pane, PaneText(pane));
        return;
    }
    if (m_scrollingPane != -1) {
        ToggleScrolling(m_scrollingPane);
    }
    m_scrollingPane = pane;
    m_scrollOffset = 0;
    m_scrollTimer.start(kScrollPeriodMs);
}

void PaneStatusBar::scrollStep() {
    const QString& full = m_texts.at(static_cast<size_t>(m_scrollingPane));
    if (full.isEmpty()) {
        return;
    }
    const QString loop = full + QStringLiteral("   ");
    m_scrollOffset = (m_scrollOffset + 1) % static_cast<int>(loop.size());
    m_panes.at(static_cast<size_t>(m_scrollingPane))
        ->setText(loop.mid(m_scrollOffset) + loop.left(m_scrollOffset));
}

bool PaneStatusBar::eventFilter(QObject* watched, QEvent* event) {
    // The second of two quick clicks arrives as a double click; it is a click all the same.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        for (size_t i = 0; i < m_panes.size(); ++i) {
            if (m_panes[i] == watched) {
                emit paneClicked(static_cast<int>(i), static_cast<QMouseEvent*>(event)->button());
            }
        }
    }
    return QStatusBar::eventFilter(watched, event);
}
