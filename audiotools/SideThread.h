#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A second thread that runs one job at a time beside its owner: Start hands it a job, Wait
// blocks until that job is done. Jobs must not throw. The thread lives as long as the object,
// so handing over a job costs a wake-up, not a thread start.
class SideThread {
public:
    SideThread();

    // Waits for the job before, then starts `job`.
    void Start(std::function<void()> job);
    // Waits for the job under way, if any.
    void Wait();

private:
    void run(const std::stop_token& stop);

    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::function<void()> m_job;
    bool m_busy = false;
    // Last: it starts once the rest is in place, and its end (a stop request, which wakes the
    // thread's wait, then a join) comes first.
    std::jthread m_thread;
};
