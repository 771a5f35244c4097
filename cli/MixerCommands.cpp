// Commands of the sound server's controls: the master volume and the recording inputs.

#include <iostream>

#include "cli/CliCommand.h"
#include "mixer/CaptureDevice.h"
#include "mixer/MasterVolumeControl.h"
#include "shell/Settings.h"

namespace {

MasterVolumeControl& usableVolume(MasterVolumeControl& volume) {
    if (!volume.IsUsable()) {
        throw CliFailure("sound server: no default output can be reached");
    }
    return volume;
}

int whole(const std::string& text, const char* what) {
    try {
        size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw CliUsageError(std::string(what) + " must be a whole number, not \"" + text + "\"");
}

int volume(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(0, 2);
    const std::string action = args.positional().empty() ? "get" : args.positional(0, "ACTION");
    MasterVolumeControl control;
    MasterVolumeControl& master = usableVolume(control);
    if (action == "set") {
        const int level = whole(args.positional(1, "N"), "N");
        if (level < master.GetMinimum() || level > master.GetMaximum()) {
            throw CliUsageError("N must lie between " + std::to_string(master.GetMinimum()) +
                                " and " + std::to_string(master.GetMaximum()));
        }
        master.SetLevel(level);
    } else if (action == "mute") {
        master.Mute();
    } else if (action == "unmute") {
        master.Unmute();
    } else if (action != "get") {
        throw CliUsageError("ACTION must be get, set, mute or unmute, not \"" + action + "\"");
    }
    CliContext::printJson({{"output", master.SinkDescription()},
                           {"level", master.GetLevel()},
                           {"minimum", master.GetMinimum()},
                           {"maximum", master.GetMaximum()},
                           {"steps", master.GetStepCount()},
                           {"muted", master.IsMuted()}});
    return 0;
}

void printInputs(CaptureDevice& device) {
    nlohmann::json inputs = nlohmann::json::array();
    for (const std::string& name : device.ListCaptureSources()) {
        inputs.push_back({{"name", name},
                          {"enabled", device.IsSourceEnabled(name)},
                          {"level", device.GetSourceLevel(name)}});
    }
    CliContext::printJson({{"device", device.DeviceName()}, {"inputs", inputs}});
}

CaptureDevice& foundDevice(CaptureDevice& device, const std::string& name) {
    if (!device.IsFound()) {
        throw CliFailure("sound server: no capture device can be reached");
    }
    if (!name.empty() && device.GetSourceLevel(name) < 0) {
        throw CliFailure(name + ": no such recording input");
    }
    return device;
}

int inputs(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(0, 3);
    const std::string action = args.positional().empty() ? "list" : args.positional(0, "ACTION");
    CaptureDevice device;
    if (action == "list") {
        printInputs(foundDevice(device, ""));
        return 0;
    }
    const std::string& name = args.positional(1, "NAME");
    if (action == "select") {
        foundDevice(device, name).SetSourceEnabled(name, true);
        context.programFolder();
        writeSetting(ConfigKey::RecordDeviceName, name);
    } else if (action == "level") {
        const int level = whole(args.positional(2, "N"), "N");
        if (level < 0 || level > 100) {
            throw CliUsageError("N must lie between 0 and 100");
        }
        foundDevice(device, name).SetSourceLevel(name, level);
    } else {
        throw CliUsageError("ACTION must be list, select or level, not \"" + action + "\"");
    }
    printInputs(device);
    return 0;
}

const CliRegistration kVolume({"volume", "[get | set N | mute | unmute]",
                               "Reads or changes the master volume and mute of the default "
                               "output (0 to the server's normal volume).",
                               volume});
const CliRegistration kInputs({"inputs", "[list | select NAME | level NAME N]",
                               "Lists the recording inputs, switches one on (and records from it "
                               "from now on) or sets its level in percent.",
                               inputs});

}  // namespace
