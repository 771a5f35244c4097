#include "library/ui/SongFileAdder.h"

SongFileAdder::SongFileAdder(DurationProbe probe, QObject* parent)
    : QObject(parent), m_probe(std::move(probe)) {}

SongFileAdder::~SongFileAdder() {
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_wake.notify_all();
        m_worker.join();
    }
}

void SongFileAdder::Add(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_queue.insert(m_queue.end(), paths.begin(), paths.end());
    }
    m_pending += static_cast<int>(paths.size());
    if (!m_worker.joinable()) {
        m_worker = std::jthread([this](const std::stop_token& stop) { Run(stop); });
    }
    m_wake.notify_one();
}

void SongFileAdder::Cancel() {
    const std::lock_guard lock(m_mutex);
    m_queue.clear();
    ++m_generation;
    m_pending = 0;
}

void SongFileAdder::Run(const std::stop_token& stop) {
    std::unique_lock lock(m_mutex);
    while (m_wake.wait(lock, stop, [this] { return !m_queue.empty(); })) {
        const std::string path = std::move(m_queue.front());
        m_queue.pop_front();
        const unsigned generation = m_generation;
        lock.unlock();
        SongEntry entry = CreateSongEntry(path, m_probe);
        // Queued to the owner's thread; dropped by Qt if this object is gone by then.
        QMetaObject::invokeMethod(
            this, [this, entry = std::move(entry), generation] { Deliver(entry, generation); },
            Qt::QueuedConnection);
        lock.lock();
    }
}

void SongFileAdder::Deliver(const SongEntry& entry, unsigned generation) {
    {
        const std::lock_guard lock(m_mutex);
        if (generation != m_generation) {
            return;
        }
    }
    --m_pending;
    emit songReady(entry);
    if (m_pending == 0) {
        emit finished();
    }
}
