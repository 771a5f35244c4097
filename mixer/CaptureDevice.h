#pragma once

#include <string>
#include <vector>

#include "mixer/PulseClient.h"

// The recording inputs of the sound server's default source. A source with ports offers its
// ports ("Microphone", "Line In", ...) in the server's order: enabling one makes it the active
// port, and every port's level is the source's volume. A source without ports offers the
// server's capture sources instead (monitors of outputs left out): enabling one makes it the
// default source, with its own volume as level.
//
// Inputs are named by their descriptions, compared in full; levels are whole percentages of
// the server's normal volume. Every call asks the server afresh.
class CaptureDevice {
public:
    CaptureDevice();

    // The default source was found.
    bool IsFound() const { return !m_deviceName.empty(); }
    // The default source's description.
    const std::string& DeviceName() const { return m_deviceName; }

    std::vector<std::string> ListCaptureSources();
    bool IsSourceEnabled(const std::string& name);
    // Switching an input off is not something the server knows: only `on` changes anything.
    void SetSourceEnabled(const std::string& name, bool on);
    // -1 when no input has that name or the server does not answer.
    int GetSourceLevel(const std::string& name);
    // `level` is cut to 0..100.
    void SetSourceLevel(const std::string& name, int level);

    // An input as the server knows it.
    struct Input {
        std::string description;
        std::string serverName;  // the port's or the source's name
        bool enabled = false;
        int level = -1;
    };

private:
    struct SourceInfo {
        std::string name;
        std::string description;
        bool monitor = false;
        int level = -1;
        std::vector<Input> ports;
    };

    bool readDefaultSource(SourceInfo& source);
    std::vector<SourceInfo> readSources();
    // The inputs as offered now; empty without an answer.
    std::vector<Input> inputs(bool& byPort, std::string& portOwner);

    PulseClient m_client;
    std::string m_deviceName;
};
