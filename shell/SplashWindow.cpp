#include "shell/SplashWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>

CSplashWindow::CSplashWindow(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture) {
    setFixedSize(m_picture.size());
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CSplashWindow::finish);
    m_timer.start(kShowMs);
    qApp->installEventFilter(this);
}

CSplashWindow::~CSplashWindow() {
    qApp->removeEventFilter(this);
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            finish();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void CSplashWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void CSplashWindow::finish() {
    if (m_done) {
        return;
    }
    m_done = true;
    m_timer.stop();
    qApp->removeEventFilter(this);
    hide();
    emit finished();
}
