#pragma once

#include <QObject>
#include <QString>

#include <string>

#include "playback/SongKeys.h"

// The key and tempo commands of the player. Key and tempo act at once on what plays; the key
// of each song is remembered and comes back when the song plays again, while the tempo returns
// to the original for every new song.
class ToneControl : public QObject {
    Q_OBJECT

public:
    // `keyFile`: where the songs' keys are kept.
    explicit ToneControl(const std::string& keyFile, QObject* parent = nullptr);

    // A semitone up or down (held within −6..+6); the song that plays keeps it.
    void KeyUp();
    void KeyDown();
    // A tempo step (5 %) faster or slower (held within 80..120 %).
    void TempoUp();
    void TempoDown();
    // The original key and tempo.
    void Original();
    void OriginalTempo();

    // A song opens: its stored key, the original tempo.
    void SongStarted(const std::string& path);

    int Key() const;
    int Tempo() const;
    // "升2调 90%": what differs from the original, "" when nothing does.
    QString StatusText() const;

signals:
    // The key or tempo changed; `text` is StatusText().
    void toneChanged(const QString& text);
    // The song's key could not be stored.
    void storeFailed(const QString& error);

private:
    void setKey(int semitones);
    void setTempo(int percent);

    SongKeys m_keys;
    std::string m_song;
};
