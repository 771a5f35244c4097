#pragma once

#include <QDialog>
#include <memory>

#include "audiotools/AccompanimentRun.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ToolWorker;

// The accompaniment maker: the user picks a sung MP3, the output, the ID3v1 texts and the
// smoothing passes, and "开始消原唱" makes the accompaniment on a worker thread while the status
// line shows each step. One run at a time; closing during a run asks, then cancels the run and
// closes once it has ended and cleaned up.
class CAccompanimentDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAccompanimentDlg(QWidget* parent = nullptr);
    ~CAccompanimentDlg() override;
    CAccompanimentDlg(const CAccompanimentDlg&) = delete;
    CAccompanimentDlg& operator=(const CAccompanimentDlg&) = delete;

    // The dialog's data as the controls last gave it.
    const AccompanimentJob& Job() const { return m_job; }
    bool IsRunning() const;

    void reject() override;

private:
    void buildControls();
    void onChooseInput();
    void onChooseOutput();
    void onStart();
    void onFinished(const QString& error);
    void takeControls();
    void showTexts();

    AccompanimentJob m_job;
    QLineEdit* m_input;
    QLineEdit* m_output;
    QLineEdit* m_title;
    QLineEdit* m_artist;
    QLineEdit* m_album;
    QLineEdit* m_year;
    QLineEdit* m_comment;
    QLineEdit* m_passes;
    QLabel* m_status;
    QPushButton* m_start;
    // Outlives the worker thread that drives it: the destructor waits for the thread.
    std::unique_ptr<AccompanimentRun> m_run;
    ToolWorker* m_worker;
    bool m_closeWhenDone = false;
};
