#pragma once

#include <QTimer>
#include <QWidget>

// The splash picture: a frameless window centred on the screen that closes itself after
// 3000 ms, or at the first key or mouse-button press the program receives, whichever comes
// first. The event loop runs meanwhile.
class CSplashWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShowMs = 3000;

    explicit CSplashWindow(const QPixmap& picture);
    ~CSplashWindow() override;
    CSplashWindow(const CSplashWindow&) = delete;
    CSplashWindow& operator=(const CSplashWindow&) = delete;

signals:
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void finish();

    QPixmap m_picture;
    QTimer m_timer;
    bool m_done = false;
};
