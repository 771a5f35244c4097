#pragma once

#include <set>
#include <string>
#include <vector>

#include "playback/MediaPorts.h"
#include "playback/PlaybackPanes.h"

// Stand-ins for the media engine and the views in tests of the controller's and the frame's
// logic: they record what was asked of them.

class FakePlayer : public SongPlayer {
public:
    enum class State { Empty, Stopped, Running, Paused };

    void Reset() override {
        state = State::Empty;
        opened.clear();
    }
    bool Open(const std::string& path) override {
        attempts.push_back(path);
        if (unplayable.count(path) != 0) {
            return false;
        }
        opened = path;
        state = State::Stopped;
        return true;
    }
    void Play() override {
        if (state == State::Stopped) {
            state = State::Running;
        }
    }
    void Stop() override {
        if (state != State::Empty) {
            state = State::Stopped;
        }
    }
    void TogglePause() override {
        if (state == State::Running) {
            state = State::Paused;
        } else if (state == State::Paused) {
            state = State::Running;
        }
    }
    long long GetPositionMs() const override { return position; }
    long long GetDurationMs() override { return state == State::Empty ? 0 : duration; }
    void SeekMs(long long ms) override {
        seeks.push_back(ms);
        position = ms;
    }
    void SetCompletionHandler(std::function<void()> handler) override {
        completed = std::move(handler);
    }
    std::uint32_t ChannelLevels() const override { return levels; }
    void SetChannelLevels(std::uint32_t value) override { levels = value; }

    State state = State::Empty;
    std::string opened;
    std::vector<std::string> attempts;
    std::set<std::string> unplayable;
    long long position = 0;
    long long duration = 180000;
    std::vector<long long> seeks;
    std::uint32_t levels = 0xFFFFFFFFU;
    std::function<void()> completed;
};

class FakeCapture : public CaptureGraph {
public:
    void Reset() override { ++resets; }
    bool Build(const CaptureSettings& settings, const std::string& outputPath,
               std::string& error) override {
        lastSettings = settings;
        lastPath = outputPath;
        if (!buildError.empty()) {
            error = buildError;
            return false;
        }
        return true;
    }
    bool Play() override {
        ++plays;
        running = playError.empty();
        return running;
    }
    bool Stop() override {
        const bool wasRunning = running;
        running = false;
        return !wasRunning || stopError.empty();
    }
    std::string LastError() const override { return playError.empty() ? stopError : playError; }

    int resets = 0;
    int plays = 0;
    bool running = false;
    std::string buildError;
    std::string playError;
    std::string stopError;
    CaptureSettings lastSettings;
    std::string lastPath;
};

class FakeSongList : public SongListPane {
public:
    void MarkPlayingRow(int row) override { marked.push_back(row); }
    void ClearRowMarks(int row) override { cleared.push_back(row); }
    void SelectRow(int row) override { selected.push_back(row); }
    std::string SelectedCategoryName() const override { return "歌曲列表1"; }

    std::vector<int> marked;
    std::vector<int> cleared;
    std::vector<int> selected;
};

class FakeLyrics : public LyricsPane {
public:
    bool LoadLyrics(const std::string& path) override {
        loads.push_back(path);
        return lyricsExist;
    }
    void PlayVideo(const std::string& path) override { video = path; }
    void StopVideo() override { video.clear(); }

    bool lyricsExist = true;
    std::vector<std::string> loads;
    std::string video;
};
