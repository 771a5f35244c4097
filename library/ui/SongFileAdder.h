#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "library/SongEntry.h"

// Probes added files on a worker thread and hands each finished entry to the thread that owns
// this object (the window thread), in the order the files were queued, with the tag the owner
// queued it under (the list it is meant for). The worker never touches a song list: the owner
// appends what songReady brings.
class SongFileAdder : public QObject {
    Q_OBJECT

public:
    explicit SongFileAdder(DurationProbe probe, QObject* parent = nullptr);
    ~SongFileAdder() override;
    SongFileAdder(const SongFileAdder&) = delete;
    SongFileAdder& operator=(const SongFileAdder&) = delete;

    // Queues files behind those still waiting, each under `tag`.
    void Add(const std::vector<std::string>& paths, int tag);
    // Forgets the queued files of `tag`; an entry of it already in the probe still arrives.
    void Forget(int tag);
    // Forgets every queued file and every entry not yet delivered (the list they were meant
    // for has been replaced).
    void Cancel();
    // Files queued or in the probe, not yet delivered.
    int Pending() const { return m_pending; }

signals:
    // One probed file, on the owner's thread.
    void songReady(const SongEntry& entry, int tag);
    // The queue ran empty.
    void finished();

private:
    void Run(const std::stop_token& stop);
    void Deliver(const SongEntry& entry, int tag, unsigned generation);

    DurationProbe m_probe;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    struct Queued {
        std::string path;
        int tag;
    };
    std::deque<Queued> m_queue;
    // Bumped by Cancel; entries probed for an older generation are dropped on arrival.
    unsigned m_generation = 0;
    // Touched on the owner's thread only.
    int m_pending = 0;
    std::jthread m_worker;
};
