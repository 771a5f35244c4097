#pragma once

#include <QTimer>
#include <QWidget>

class CMelodeckDoc;
class QSlider;

// A position slider and a volume slider for the toolbar. Dragging or clicking the position
// slider seeks the song; the volume slider sets the song player's channel levels, the same
// levels the status bar's volume clicks move, so both always agree.
class CTransportSliders : public QWidget {
    Q_OBJECT

public:
    explicit CTransportSliders(CMelodeckDoc* doc, QWidget* parent = nullptr);

    QSlider* Position() const { return m_position; }
    QSlider* Volume() const { return m_volume; }
    // Takes the song's position, length and the player's volume (the timer does it 4 times a
    // second).
    void Refresh();

private:
    void seekToSlider();
    void applyVolume();

    CMelodeckDoc* m_doc;
    QSlider* m_position;
    QSlider* m_volume;
    QTimer m_refresh;
};
