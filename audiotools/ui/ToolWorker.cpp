#include "audiotools/ui/ToolWorker.h"

ToolWorker::ToolWorker(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("worker"));
    // Queued behind the progress texts, so the dialog sees the end last.
    connect(
        this, &ToolWorker::runEnded, this,
        [this](const QString& error) {
            Wait();
            m_running = false;
            emit finished(error);
        },
        Qt::QueuedConnection);
}

ToolWorker::~ToolWorker() {
    Wait();
}

bool ToolWorker::Start(Body body) {
    if (m_running) {
        return false;
    }
    Wait();
    m_running = true;
    m_thread = std::thread([this, body = std::move(body)] {
        emit runEnded(QString::fromStdString(body().error), QPrivateSignal());
    });
    return true;
}

void ToolWorker::Wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void ToolWorker::onProgress(int, const std::string& text) {
    emit progress(QString::fromStdString(text));
}
