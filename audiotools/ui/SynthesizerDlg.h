#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "audiotools/SynthesizerRun.h"

class MixTimeline;
class QLabel;
class QLineEdit;
class QPushButton;
class ToolWorker;

// The synthesizer: the last recording (or a chosen voice file) and the background music,
// the voice starting the offset in ms after the music, previewed on the speakers or saved as a
// tagged MP3 on a worker thread. While a save runs, preview, stop and another save are refused
// and closing waits for the save to end.
class CSynthesizerDlg : public QDialog {
    Q_OBJECT

public:
    // `music` and `title` come from the current song; both empty when there is none.
    explicit CSynthesizerDlg(QWidget* parent = nullptr, const QString& music = {},
                             const QString& title = {});
    ~CSynthesizerDlg() override;
    CSynthesizerDlg(const CSynthesizerDlg&) = delete;
    CSynthesizerDlg& operator=(const CSynthesizerDlg&) = delete;

    // The dialog's data as the controls last gave it.
    const SynthesisJob& Job() const { return m_job; }
    bool IsSaving() const;
    // Length of what the preview plays, in ms (0 after a stop and when the dialog starts).
    int64_t PreviewLengthMs() const;

    void reject() override;

private:
    void buildControls();
    QLayout* pathRow(QLineEdit* box, QPushButton* chooser, QPushButton* extra = nullptr);
    void showControls();
    void takeControls();
    void onOffsetEdited();
    void onChooseVoice();
    void onChooseMusic();
    void onChooseOutput();
    void onSaveVoice();
    void onPreview();
    void onStop();
    void onSave();
    void onFinished(const QString& error);
    void setSaving(bool saving);

    SynthesisJob m_job;
    int m_offset = 0;
    QLineEdit* m_voice;
    QLineEdit* m_offsetBox;
    QLineEdit* m_music;
    QLineEdit* m_output;
    QLineEdit* m_title;
    QLineEdit* m_artist;
    QLineEdit* m_album;
    QLineEdit* m_year;
    QLineEdit* m_comment;
    QLabel* m_status;
    QPushButton* m_preview;
    QPushButton* m_stop;
    QPushButton* m_save;
    std::unique_ptr<MixTimeline> m_timeline;
    ToolWorker* m_worker;
    bool m_closeWhenDone = false;
};
