#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/TestSupport.h"

// Runs a pactl command against the test sound server and gives its output.
inline std::string pactl(const std::string& arguments) {
    std::string output;
    if (FILE* pipe = popen(("pactl " + arguments + " 2>&1").c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        pclose(pipe);
    }
    return output;
}

// Puts the speakers' volume, mute and the default input back as the test server starts them,
// so that no case leaves the shared server changed.
class SoundServerFixture : public ::testing::Test {
protected:
    void TearDown() override {
        pactl("set-sink-volume out 65536");
        pactl("set-sink-mute out 0");
        pactl("set-source-volume mic 65536");
        pactl("set-source-volume line 65536");
        pactl("set-default-source mic");
    }
};
