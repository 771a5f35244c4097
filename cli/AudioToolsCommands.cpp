// Commands of the audio tools: WAV access, the vocal remover, the accompaniment and synthesizer
// runs.

#include <algorithm>

#include <iostream>

#include "audiotools/AccompanimentRun.h"
#include "audiotools/SynthesizerRun.h"
#include "audiotools/VocalRemover.h"
#include "audiotools/WaveFile.h"
#include "cli/CliCommand.h"

namespace {

// Prints the WaveErrors class name as JSON and fails naming the file.
[[noreturn]] void failWave(const std::string& path, const std::string& errorName) {
    CliContext::printJson({{"error", errorName}});
    throw CliFailure(path + ": not a usable WAV file (" + errorName + "), left unchanged");
}

// Beyond a few dozen passes nothing changes any more, so huge counts are simply clamped.
int passesOption(const CliArgs& args) {
    return static_cast<int>(std::clamp<long long>(args.number("--passes", 2), -1, 1000));
}

int wavInfo(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    nlohmann::json info;
    std::string errorName;
    const bool opened = catchWaveErrors(
        [&] {
            const WaveFile wave(path);
            info = {{"dataOffset", wave.dataOffset()}, {"dataBytes", wave.sampleBytes()}};
        },
        &errorName);
    if (!opened) {
        failWave(path, errorName);
    }
    CliContext::printJson(info);
    return 0;
}

int removeVocals(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--passes"}, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE.wav");
    const int passes = passesOption(args);
    std::string errorName;
    if (!VocalRemover().RemoveVocals(path, passes, &errorName)) {
        failWave(path, errorName);
    }
    return 0;
}

// Progress texts go to stderr, one a line, as the dialogs show them in their status line.
class StderrObserver : public RunObserver {
public:
    void onProgress(int, const std::string& text) override { std::cerr << text << '\n'; }
};

const std::set<std::string> kTagOptions = {"--title", "--artist", "--album", "--year", "--comment"};

std::set<std::string> withTagOptions(std::set<std::string> options) {
    options.insert(kTagOptions.begin(), kTagOptions.end());
    return options;
}

void applyTagOptions(const CliArgs& args, TagTexts& tag) {
    tag.title = args.value("--title", tag.title);
    tag.artist = args.value("--artist", tag.artist);
    tag.album = args.value("--album", tag.album);
    tag.year = args.value("--year", tag.year);
    tag.comment = args.value("--comment", tag.comment);
}

void reportOutcome(const RunOutcome& outcome, const std::string& output) {
    if (!outcome.ok()) {
        throw CliFailure(outcome.error);
    }
    CliContext::printJson({{"output", output}});
}

int accompany(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, withTagOptions({"-o", "--passes"}), {});
    args.expectPositionals(1, 1);
    AccompanimentJob job = accompanimentJobFor(args.positional(0, "IN.mp3"));
    job.output = args.value("-o", job.output);
    job.passes = passesOption(args);
    applyTagOptions(args, job.tag);
    StderrObserver observer;
    reportOutcome(AccompanimentRun(observer).Run(job), job.output);
    return 0;
}

int synthesize(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, withTagOptions({"--voice", "--music", "--offset", "-o"}), {});
    args.expectPositionals(0, 0);
    context.programFolder();
    SynthesisJob job = synthesisDefaults();
    job.voice = args.value("--voice", job.voice);
    job.music = args.value("--music", job.music);
    job.offsetMs = args.number("--offset", job.offsetMs);
    job.output = args.value("-o", job.output);
    applyTagOptions(args, job.tag);
    StderrObserver observer;
    reportOutcome(SynthesizerRun(observer).Run(job), job.output);
    return 0;
}

const CliRegistration kWavInfo({"wav-info", "FILE",
                                "Prints where a WAV file's samples start and how many bytes "
                                "they take, as the vocal remover sees them.",
                                wavInfo});
const CliRegistration kRemoveVocals({"remove-vocals", "FILE.wav [--passes P]",
                                     "Removes the centre voice of a 16-bit stereo WAV file in "
                                     "place, smoothing P times (default 2).",
                                     removeVocals});

const CliRegistration kAccompany(
    {"accompany",
     "IN.mp3 [-o OUT] [--passes P] [--title T] [--artist A] [--album X] [--year Y] "
     "[--comment C]",
     "Makes an accompaniment MP3 without the centre voice, tagged with the input's own tag "
     "texts unless given; prints the progress on stderr.",
     accompany});
const CliRegistration kSynthesize(
    {"synthesize",
     "[--voice V] [--music M] [--offset MS] [-o OUT] [--title T] [--artist A] [--album X] "
     "[--year Y] [--comment C]",
     "Mixes the voice (default: the last recording) into the music, starting MS milliseconds "
     "in (default: where the recording began), into a tagged MP3 (default: output.mp3 in the "
     "program folder).",
     synthesize});

}  // namespace
