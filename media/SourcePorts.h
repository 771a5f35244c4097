#pragma once

#include <optional>
#include <string>
#include <vector>

// The ports (input lines) of a capture source on the sound server.
struct SourcePort {
    std::string name;         // "analog-input-mic"
    std::string description;  // "Microphone"
    bool active = false;
};

// The name of the server's default capture source; empty when there is none or no server.
std::string defaultSourceName();

// Ports of the source `sourceName` (empty: the server's default source); nullopt when the
// server or the source cannot be reached.
std::optional<std::vector<SourcePort>> listSourcePorts(const std::string& sourceName);

// Makes the port whose name or description equals `line` exactly the source's active port.
// True when such a port exists (whether or not it was already active).
bool activateSourcePort(const std::string& sourceName, const std::string& line);
