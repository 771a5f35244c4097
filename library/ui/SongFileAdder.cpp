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

void SongFileAdder::Add(const std::vector<std::string>& paths, int tag) {
    if (paths.empty()) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        for (const std::string& path : paths) {
            m_queue.push_back({path, tag});
        }
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

void SongFileAdder::Forget(int tag) {
    const std::lock_guard lock(m_mutex);
    const auto forgotten = std::erase_if(m_queue, [tag](const Queued& q) { return q.tag == tag; });
    m_pending -= static_cast<int>(forgotten);
}

void SongFileAdder::Run(const std::stop_token& stop) {
    std::unique_lock lock(m_mutex);
    while (m_wake.wait(lock, stop, [this] { return !m_queue.empty(); })) {
        const Queued next = std::move(m_queue.front());
        m_queue.pop_front();
        const unsigned generation = m_generation;
        lock.unlock();
        SongEntry entry = CreateSongEntry(next.path, m_probe);
        // Queued to the owner's thread; dropped by Qt if this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, entry = std::move(entry), tag = next.tag, generation] {
                Deliver(entry, tag, generation);
            },
            Qt::QueuedConnection);
        lock.lock();
    }
}

void SongFileAdder::Deliver(const SongEntry& entry, int tag, unsigned generation) {
    {
        const std::lock_guard lock(m_mutex);
        if (generation != m_generation) {
            return;
        }
    }
    --m_pending;
    emit songReady(entry, tag);
    if (m_pending == 0) {
        emit finished();
    }
}
