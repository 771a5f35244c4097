#pragma once

#include <QWidget>

#include <vector>

#include "lyriceditor/TapDraft.h"

class MusicPlayer;
class QPlainTextEdit;

// The page of the editor's tap modes: the user pastes the whole lyric into the text box, then,
// while the song plays, presses Space as each line (or word) starts, Backspace to take back the
// last line and hear it again, and Left to hear the last seconds again. The text shows what was
// tapped, the last line or word marked.
class TapPane : public QWidget {
    Q_OBJECT

public:
    // Going back one line starts the song this long before the line, to tap it again in time.
    static constexpr int64_t kStepBackLeadMs = 2000;
    static constexpr int64_t kReplayMs = 5000;

    TapPane(MusicPlayer& player, QWidget* parent = nullptr);

    // Lines or words: taken for the next tap while nothing is stamped.
    void SetMode(TapDraft::Mode mode);
    // The song started, paused or stopped: taps are taken while it plays or pauses, and the text
    // stays as it is while a song plays or stamps exist.
    void SongStateChanged();
    // While a song plays or pauses, keys go to the text, so that Space taps rather than
    // pressing the button last clicked.
    void FocusTaps();

    const TapDraft& Draft() const { return m_draft; }
    std::vector<LrcRow> Rows() const { return m_draft.Rows(); }
    bool Modified() const { return m_draft.Modified(); }
    void MarkSaved() { m_draft.MarkSaved(); }

Q_SIGNALS:
    // Stamps were added or removed.
    void stampsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool TakeKey(int key);
    void Tap();
    void StepBack();
    void Replay();
    void ShowStamps();

    MusicPlayer& m_player;
    TapDraft::Mode m_mode = TapDraft::Mode::Lines;
    TapDraft m_draft;
    QPlainTextEdit* m_text = nullptr;
};
