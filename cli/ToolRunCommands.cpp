// Commands of the audio tools that drive the media engine: the accompaniment and synthesizer
// runs.

#include <iostream>

#include "audiotools/AccompanimentRun.h"
#include "audiotools/SynthesizerRun.h"
#include "cli/CliCommand.h"
#include "cli/PassesOption.h"

namespace {

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
