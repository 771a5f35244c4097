#include "playback/ToneControl.h"

#include "media/ToneStage.h"

ToneControl::ToneControl(const std::string& keyFile, QObject* parent)
    : QObject(parent), m_keys(keyFile) {}

void ToneControl::KeyUp() {
    setKey(Key() + 1);
}

void ToneControl::KeyDown() {
    setKey(Key() - 1);
}

void ToneControl::TempoUp() {
    setTempo(Tempo() + PlaybackTone::kTempoStep);
}

void ToneControl::TempoDown() {
    setTempo(Tempo() - PlaybackTone::kTempoStep);
}

void ToneControl::Original() {
    PlaybackTone::setTempo(PlaybackTone::kOriginalTempo);
    setKey(0);
}

void ToneControl::OriginalTempo() {
    setTempo(PlaybackTone::kOriginalTempo);
}

void ToneControl::SongStarted(const std::string& path) {
    m_song = path;
    PlaybackTone::setKey(m_keys.KeyFor(path));
    PlaybackTone::setTempo(PlaybackTone::kOriginalTempo);
    emit toneChanged(StatusText());
}

int ToneControl::Key() const {
    return PlaybackTone::key();
}

int ToneControl::Tempo() const {
    return PlaybackTone::tempo();
}

void ToneControl::setKey(int semitones) {
    PlaybackTone::setKey(semitones);
    std::string error;
    if (!m_song.empty() && !m_keys.SetKey(m_song, Key(), &error)) {
        emit storeFailed(QString::fromStdString(error));
    }
    emit toneChanged(StatusText());
}

void ToneControl::setTempo(int percent) {
    PlaybackTone::setTempo(percent);
    emit toneChanged(StatusText());
}

QString ToneControl::StatusText() const {
    QStringList parts;
    if (Key() != 0) {
        parts << QStringLiteral("%1%2调").arg(Key() > 0 ? "升" : "降").arg(std::abs(Key()));
    }
    if (Tempo() != PlaybackTone::kOriginalTempo) {
        parts << QStringLiteral("%1%").arg(Tempo());
    }
    return parts.join(' ');
}
