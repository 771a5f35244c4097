#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "shell/IniFile.h"
#include "tests/mixer/SoundServerFixture.h"
#include "tests/support/TestSupport.h"

namespace {

using MixerCli = SoundServerFixture;

nlohmann::json runJson(const std::vector<std::string>& args) {
    const CliResult result = runCli(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.exitCode == 0 ? nlohmann::json::parse(result.out) : nlohmann::json{};
}

TEST_F(MixerCli, VolumeCommandsChangeWhatTheServerReports) {
    const auto set = runJson({"volume", "set", "32768"});
    EXPECT_EQ(set["level"], 32768);
    EXPECT_EQ(set["maximum"], 65536);
    EXPECT_NE(pactl("get-sink-volume out").find("32768"), std::string::npos);

    EXPECT_EQ(runJson({"volume", "mute"})["muted"], true);
    EXPECT_EQ(pactl("get-sink-mute out"), "Mute: yes\n");
    EXPECT_EQ(runJson({"volume", "unmute"})["muted"], false);
    EXPECT_EQ(runJson({"volume"})["level"], 32768);

    EXPECT_EQ(runCli({"volume", "set", "70000"}).exitCode, 2);
    EXPECT_EQ(runCli({"volume", "set", "loud"}).exitCode, 2);
    EXPECT_EQ(runCli({"volume", "louder"}).exitCode, 2);
}

TEST_F(MixerCli, InputCommandsListSelectAndSetLevels) {
    TempDir home;
    const auto listed = runJson({"inputs", "list"});
    EXPECT_EQ(listed["device"], "Microphone");
    ASSERT_EQ(listed["inputs"].size(), 2u);
    EXPECT_EQ(listed["inputs"][1]["name"], "Line In");
    EXPECT_EQ(listed["inputs"][0]["enabled"], true);

    const auto selected = runJson({"--home", home.path(), "inputs", "select", "Line In"});
    EXPECT_EQ(selected["inputs"][1]["enabled"], true);
    EXPECT_EQ(pactl("get-default-source"), "line\n");
    EXPECT_EQ(CIniFile(home.file("OrvMelodeck.ini").c_str()).ReadString("Record", "DeviceName"),
              "Line In");

    EXPECT_EQ(runJson({"inputs", "level", "Line In", "40"})["inputs"][1]["level"], 40);
    EXPECT_EQ(runCli({"inputs", "level", "Line In", "101"}).exitCode, 2);
    EXPECT_EQ(runCli({"inputs", "select", "Nothing"}).exitCode, 1);
}

TEST_F(MixerCli, WithoutAServerTheCommandsFailWithAReason) {
    const NoSoundServer none;
    const CliResult volume = runCli({"volume"});
    EXPECT_EQ(volume.exitCode, 1);
    EXPECT_NE(volume.err.find("sound server"), std::string::npos);
    EXPECT_EQ(runCli({"inputs"}).exitCode, 1);
}

}  // namespace
