#include "audiotools/SideThread.h"

#include <utility>

SideThread::SideThread() : m_thread([this](const std::stop_token& stop) { run(stop); }) {}

void SideThread::Start(std::function<void()> job) {
    Wait();
    {
        const std::scoped_lock lock(m_mutex);
        m_job = std::move(job);
        m_busy = true;
    }
    m_changed.notify_all();
}

void SideThread::Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
}

void SideThread::run(const std::stop_token& stop) {
    std::unique_lock lock(m_mutex);
    while (m_changed.wait(lock, stop, [this] { return m_busy; })) {
        std::function<void()> job = std::move(m_job);
        lock.unlock();
        job();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
