#pragma once

#include <string>
#include <vector>

#include "audiotools/PendingOutput.h"

// What the accompaniment and synthesizer runs share: the observer that shows their progress,
// their outcome, the ID3v1 texts they write, and the claim that keeps two runs off the same
// files.

// Receives a run's progress texts (numbered strings) as it enters each step, on the thread
// that drives the run.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void onProgress(int stringId, const std::string& text) = 0;
};

// How a run ended: `error` names the step that failed and why; empty when all went well.
struct RunOutcome {
    std::string error;
    bool ok() const { return error.empty(); }
};

// The ID3v1 texts a tool writes into its output, as UTF-8 (stored as GBK in the tag).
struct TagTexts {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
};

// The last step of both runs: appends `tag` as the ID3v1 tag (track 0, no genre) to the
// finished output, then puts the output in place under its own name. The outcome names the
// output and the cause when either fails.
RunOutcome tagAndCommit(PendingOutput& output, const std::string& outputPath, const TagTexts& tag);

// Claims files for one run inside this program: a second claim on any of them fails until the
// first is released (when the object goes).
class RunClaim {
public:
    explicit RunClaim(const std::vector<std::string>& paths);
    ~RunClaim();
    RunClaim(const RunClaim&) = delete;
    RunClaim& operator=(const RunClaim&) = delete;

    bool claimed() const { return m_busyPath.empty(); }
    // The file another run holds (when not claimed).
    const std::string& busyPath() const { return m_busyPath; }

private:
    std::vector<std::string> m_keys;
    std::string m_busyPath;
};
