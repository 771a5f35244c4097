#pragma once

#include <cstdint>
#include <string>

// A loopback module on the sound server: a capture source played on the default output by the
// server itself, which steers its buffer to the latency asked, so the delay stays where it
// was put for as long as it runs.
//
// The module outlives a program that dies with it loaded. Each one is tagged with the host and
// the process that loaded it, so that the next start can find those of dead processes and
// unload them.
class ServerLoopback {
public:
    // What the module is loaded with. An empty sample format leaves format, rate and channels
    // to the server.
    struct Settings {
        std::string source;
        int latencyMs = 20;
        std::string sampleFormat;  // "u8", "s16le"
        int rate = 0;
        int channels = 0;
    };

    ServerLoopback() = default;
    ~ServerLoopback() { Unload(); }
    ServerLoopback(const ServerLoopback&) = delete;
    ServerLoopback& operator=(const ServerLoopback&) = delete;

    // Loads a module with `settings` (after unloading one this object loaded before); false
    // with `error` set when the server cannot be reached or refuses it.
    bool Load(const Settings& settings, std::string& error);
    // Unloads the module this object loaded, if it is still there.
    void Unload();
    // True while the module this object loaded is still on the server.
    bool IsLoaded() const;

    // Unloads the modules left by processes of this host that no longer run; how many.
    static int UnloadLeftovers();
    // The tag that marks this process's modules in their arguments.
    static std::string ProcessTag();
    // The argument string `settings` load with.
    static std::string Arguments(const Settings& settings);

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    uint32_t m_index = kNone;
};
