// The conversions of the media engine: decoding to WAV, encoding to MP3, mixing a voice with a
// song. Each output appears only when it is complete.

#include "audiotools/PendingOutput.h"
#include "cli/CliCommand.h"
#include "cli/ToneOptions.h"
#include "media/DecodeGraph.h"
#include "media/EncodeGraph.h"
#include "media/MixTimeline.h"
#include "media/ToneRenderGraph.h"

namespace {

void requireCreated(const PendingOutput& output, const std::string& path) {
    if (!output.created()) {
        throw CliFailure(path + ": cannot create the output (" + output.error() + ")");
    }
}

void commit(PendingOutput& output, const std::string& path) {
    if (!output.commit()) {
        throw CliFailure(path + ": cannot write the output (" + output.error() + ")");
    }
    CliContext::printJson({{"output", path}});
}

template <typename Graph>
int convert(const std::vector<std::string>& raw, const char* inputName, const char* outputName) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(2, 2);
    const std::string& input = args.positional(0, inputName);
    const std::string& outputPath = args.positional(1, outputName);
    PendingOutput output(outputPath);
    requireCreated(output, outputPath);
    Graph graph;
    if (graph.Build(input, output.temporaryPath()) < 0 || graph.Play() < 0) {
        throw CliFailure(input + ": " + graph.LastError());
    }
    commit(output, outputPath);
    return 0;
}

int decode(const std::vector<std::string>& raw, CliContext&) {
    return convert<DecodeGraph>(raw, "IN", "OUT.wav");
}

int encode(const std::vector<std::string>& raw, CliContext&) {
    return convert<EncodeGraph>(raw, "IN.wav", "OUT.mp3");
}

int mix(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--voice", "--music", "--offset", "-o"}, {});
    args.expectPositionals(0, 0);
    const std::string voice = args.value("--voice", "");
    const std::string music = args.value("--music", "");
    const std::optional<std::string> outputPath = args.value("-o");
    if (!outputPath) {
        throw CliUsageError("-o OUT.mp3 is required");
    }
    if (voice.empty() && music.empty()) {
        throw CliUsageError("give --voice, --music or both");
    }
    PendingOutput output(*outputPath);
    requireCreated(output, *outputPath);
    MixTimeline timeline;
    if ((!voice.empty() && timeline.AddVoice(voice, args.number("--offset", 0)) < 0) ||
        (!music.empty() && timeline.AddMusic(music) < 0) ||
        timeline.SaveMp3(output.temporaryPath()) < 0) {
        throw CliFailure(timeline.LastError());
    }
    commit(output, *outputPath);
    return 0;
}

int render(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--key", "--tempo"}, {});
    args.expectPositionals(2, 2);
    const std::string& input = args.positional(0, "IN");
    const std::string& outputPath = args.positional(1, "OUT.mp3");
    const int semitones = keyOption(args);
    const int percent = tempoOption(args);
    PendingOutput output(outputPath);
    requireCreated(output, outputPath);
    ToneRenderGraph graph;
    if (graph.Build(input, output.temporaryPath(), semitones, percent) < 0 || graph.Play() < 0) {
        throw CliFailure(input + ": " + graph.LastError());
    }
    commit(output, outputPath);
    return 0;
}

const CliRegistration kDecode({"decode", "IN OUT.wav",
                               "Decodes a song into a 16-bit stereo PCM WAV file.", decode});
const CliRegistration kEncode({"encode", "IN.wav OUT.mp3",
                               "Encodes a WAV file into a plain 128 kbit/s MP3 file.", encode});
const CliRegistration kRender({"render", "IN OUT.mp3 [--key N] [--tempo P]",
                               "Writes a copy of a song N semitones up or down (-6..6) at P % "
                               "speed with the pitch kept (80..120 in steps of 5) as a plain "
                               "MP3 file.",
                               render});
const CliRegistration kMix({"mix", "[--voice V] [--offset MS] [--music M] -o OUT.mp3",
                            "Mixes a voice starting MS milliseconds into the music (a negative "
                            "offset cuts the voice's start) into an MP3 file lasting until the "
                            "later one ends.",
                            mix});

}  // namespace
