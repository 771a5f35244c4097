// Commands of the media engine: measuring, playing, the live microphone monitor, recording.

#include <glib.h>

#include <iostream>
#include <map>
#include <memory>

#include "cli/CliCommand.h"
#include "media/ChannelLevel.h"
#include "media/MediaProbe.h"
#include "media/MusicPlayer.h"

namespace {

struct MainLoopUnref {
    void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};
using MainLoopPtr = std::unique_ptr<GMainLoop, MainLoopUnref>;

// Runs the default GLib main loop (where the media graphs deliver their events) for at most
// `seconds` (0: no limit), calling `tick` once a second until it returns false.
void runMainLoop(long long seconds, const std::function<bool()>& tick, GMainLoop* loop) {
    struct Ticker {
        const std::function<bool()>* tick;
        GMainLoop* loop;
        long long left;
    } ticker{&tick, loop, seconds};
    g_timeout_add_seconds(
        1,
        [](gpointer data) -> gboolean {
            auto* t = static_cast<Ticker*>(data);
            const bool goOn = (*t->tick)() && (t->left == 0 || --t->left > 0);
            if (!goOn) {
                g_main_loop_quit(t->loop);
            }
            return goOn ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
        },
        &ticker);
    g_main_loop_run(loop);
    while (g_source_remove_by_user_data(&ticker)) {
    }
}

uint32_t channelLevelOption(const CliArgs& args) {
    static const std::map<std::string, uint32_t> levels = {{"left", kChannelLevelLeftOnly},
                                                           {"stereo", kChannelLevelStereo},
                                                           {"right", kChannelLevelRightOnly}};
    const std::string name = args.value("--channel", "stereo");
    const auto found = levels.find(name);
    if (found == levels.end()) {
        throw CliUsageError("--channel must be left, stereo or right, not \"" + name + "\"");
    }
    return found->second;
}

long long secondsOption(const CliArgs& args, long long def) {
    const long long seconds = args.number("--seconds", def);
    if (seconds < 0) {
        throw CliUsageError("--seconds must not be negative");
    }
    return seconds;
}

int play(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--seek", "--seconds", "--channel"}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    const long long seekMs = args.number("--seek", 0);
    const long long seconds = secondsOption(args, 0);
    setOutputChannelLevel(channelLevelOption(args));

    MusicPlayer player;
    if (player.Open(file) < 0) {
        throw CliFailure(file + ": cannot play: " + player.LastError());
    }
    if (seekMs != 0) {
        player.SeekMs(seekMs);
    }
    const MainLoopPtr loop(g_main_loop_new(nullptr, FALSE));
    std::string error;
    bool completed = false;
    player.SetNotify(true);
    QObject::connect(&player, &MusicPlayer::eventsQueued, [&] {
        MediaEvent event;
        while (player.GetEvent(event)) {
            completed = completed || event.code == MediaEvent::Complete;
            if (event.code == MediaEvent::ErrorAbort) {
                error = event.text;
            }
        }
        g_main_loop_quit(loop.get());
    });
    if (player.Play() < 0) {
        throw CliFailure(file + ": cannot play: " + player.LastError());
    }
    runMainLoop(
        seconds,
        [&] {
            CliContext::printJson({{"positionMs", player.GetPositionMs()}});
            return true;
        },
        loop.get());
    const nlohmann::json summary = {{"positionMs", player.GetPositionMs()},
                                    {"durationSeconds", player.GetDurationSec()},
                                    {"completed", completed}};
    player.Stop();
    if (!error.empty()) {
        throw CliFailure(file + ": playback failed: " + error);
    }
    CliContext::printJson(summary);
    return 0;
}

int probe(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    const auto seconds = probeDurationSeconds(file);
    if (!seconds) {
        throw CliFailure(file + ": cannot open the media file");
    }
    CliContext::printJson({{"durationSeconds", *seconds}});
    return 0;
}

const CliRegistration kProbe({"probe", "FILE",
                              "Prints the length of a media file in whole seconds as the song "
                              "list measures it (0 when it cannot be measured).",
                              probe});
const CliRegistration kPlay({"play", "FILE [--seek MS] [--seconds N] [--channel left|stereo|right]",
                             "Plays a media file on the default output until its end (or for N "
                             "seconds), printing the position once a second.",
                             play});

}  // namespace
