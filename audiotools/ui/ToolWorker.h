#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <thread>

#include "audiotools/RunSupport.h"

// Runs one tool run (an accompaniment, a synthesis) on a thread of its own for a dialog. The
// run's progress texts and its end reach the dialog's thread as signals, in the order they
// happened; the dialog keeps the run's objects alive until finished() or Wait().
class ToolWorker : public QObject, private RunObserver {
    Q_OBJECT

public:
    using Body = std::function<RunOutcome()>;

    explicit ToolWorker(QObject* parent = nullptr);
    ~ToolWorker() override;
    ToolWorker(const ToolWorker&) = delete;
    ToolWorker& operator=(const ToolWorker&) = delete;

    // The observer to hand to the run, so that its steps become progress().
    RunObserver& Observer() { return *this; }
    // Starts `body` on the worker thread; false (and nothing started) while a run is under way.
    bool Start(Body body);
    // From Start until finished() is emitted.
    bool IsRunning() const { return m_running; }
    // Blocks until the thread has ended (finished() then comes no more).
    void Wait();

signals:
    void progress(const QString& text);
    // The run ended; `error` is its failure text, empty when it succeeded.
    void finished(const QString& error);
    // The worker thread's last word, handled on the worker's own thread.
    void runEnded(const QString& error, QPrivateSignal);

private:
    void onProgress(int stringId, const std::string& text) override;

    std::thread m_thread;
    bool m_running = false;
};
