#pragma once

#include <QImage>
#include <QWidget>

// Shows the frames of a playing video, scaled to fit with black borders. It covers the lyrics
// view's client area, or the whole screen in full-screen mode.
class VideoSurface : public QWidget {
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent = nullptr);

    // The newest frame; the surface repaints.
    void SetFrame(const QImage& frame);
    const QImage& Frame() const { return m_frame; }

signals:
    // A right click at a global point (the view's video menu).
    void menuRequested(const QPoint& globalPoint);
    // Esc in full screen.
    void leaveFullScreenRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage m_frame;
};
