#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` passed; returns `done()`.
inline bool processEventsUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// Pixels of row band [top, top + height) whose colour is `color` within a small tolerance
// (text edges are blended with the background).
inline int countPixels(const QImage& image, int top, int height, QRgb color) {
    int count = 0;
    for (int y = std::max(0, top); y < std::min(image.height(), top + height); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(color)) < 40 && std::abs(qGreen(p) - qGreen(color)) < 40 &&
                std::abs(qBlue(p) - qBlue(color)) < 40) {
                ++count;
            }
        }
    }
    return count;
}
