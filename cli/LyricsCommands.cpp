// Commands of the lyric model and the lyric library.

#include <climits>
#include <iostream>

#include "cli/CliCommand.h"
#include "library/FileHandle.h"
#include "lyrics/LrcLyric.h"
#include "lyrics/LyricFile.h"
#include "lyrics/LyricLibrary.h"
#include "lyrics/LyricSearchRun.h"

namespace {

int intOption(const CliArgs& args, const std::string& option, int def) {
    const long long value = args.number(option, def);
    if (value < INT_MIN || value > INT_MAX) {
        throw CliUsageError(option + " is out of range");
    }
    return static_cast<int>(value);
}

nlohmann::json namesJson(const SingerTitle& names) {
    return {{"singer", names.singer}, {"title", names.title}};
}

// A line's timed words, as text and start (and end) in ms.
nlohmann::json wordsJson(const LyricLine& line) {
    nlohmann::json words = nlohmann::json::array();
    const std::string& shown = line.ShownText();
    for (const LyricWord& word : line.Words) {
        words.push_back({{"text", shown.substr(static_cast<size_t>(word.Begin),
                                               static_cast<size_t>(word.Length))},
                         {"start", word.Start},
                         {"end", word.End}});
    }
    return words;
}

nlohmann::json lineJson(const LyricLine& line) {
    nlohmann::json json = {{"start", line.Start}, {"end", line.End}, {"text", line.Text}};
    if (!line.Words.empty()) {
        json["words"] = wordsJson(line);
    }
    return json;
}

int lrc(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--at", "--offset", "--previous"}, {});
    args.expectPositionals(1, 1);
    if (!args.has("--at") && (args.has("--offset") || args.has("--previous"))) {
        throw CliUsageError("--offset and --previous go with --at");
    }
    LrcLyric lyric;
    std::string error;
    if (!LoadLyricFile(args.positional(0, "FILE"), lyric, error)) {
        throw CliFailure(error);
    }
    nlohmann::json head = {{"offset", lyric.Offset()}, {"maxTextBytes", lyric.MaxTextBytes()}};
    if (args.has("--at")) {
        head["current"] =
            lyric.FindCurrentLine(intOption(args, "--at", 0), intOption(args, "--offset", 0),
                                  intOption(args, "--previous", -1));
    }
    const std::vector<LyricLine>& lines = lyric.Lines();
    CliContext::printJsonWithArray(head, "lines", lines.size(),
                                   [&lines](size_t i) { return lineJson(lines[i]); });
    return 0;
}

int lrcHead(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    if (!FileHandle(file, O_RDONLY).isOpen()) {
        throw CliFailure(file + ": " + FileHandle::openError());
    }
    CliContext::printJson(namesJson(ReadTagHead(file)));
    return 0;
}

int splitName(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    CliContext::printJson(namesJson(SplitDisplayName(args.positional(0, "NAME"))));
    return 0;
}

int lyricPath(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    std::cout << LyricLibraryPath(context.programFolder(),
                                  SplitDisplayName(args.positional(0, "NAME")))
              << '\n';
    return 0;
}

int lyricAdd(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    const AddLyricResult result = AddLyricToLibrary(context.programFolder(), file);
    CliContext::printJson({{"message", result.message}, {"path", result.path}});
    if (!result.added) {
        throw CliFailure(file + ": " + result.message);
    }
    return 0;
}

int lyricSearch(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {"--custom"}, {});
    args.expectPositionals(1, 1);
    const std::string& keyword = args.positional(0, "KEYWORD");
    struct Rows : LyricSearchObserver {
        nlohmann::json json = nlohmann::json::array();
        void onRow(const LyricSearchRow& row) override {
            json.push_back({{"singer", row.singer}, {"title", row.title}, {"path", row.path}});
        }
    } rows;
    // An empty keyword searches nothing, as in the search dialog.
    LyricSearchRun(rows).Run(
        {keyword, LyricLibraryRoot(context.programFolder()), args.value("--custom", "")});
    CliContext::printJson({{"rows", rows.json}});
    return 0;
}

const CliRegistration kLrc({"lrc", "FILE [--at MS [--offset B] [--previous I]]",
                            "Prints the lines of an LRC lyric file (or of a MIDI song's "
                            "lyric), their word times, and the current line at a play "
                            "position.",
                            lrc});
const CliRegistration kLrcHead({"lrc-head", "FILE",
                                "Prints the singer and title tags of an LRC file's head.",
                                lrcHead});
const CliRegistration kSplitName({"split-name", "NAME",
                                  "Splits a song's display name into singer and title.",
                                  splitName});
const CliRegistration kLyricPath({"lyric-path", "NAME",
                                  "Prints the lyric library file of a song's display name.",
                                  lyricPath});
const CliRegistration kLyricAdd({"lyric-add", "FILE", "Moves a lyric file into the lyric library.",
                                 lyricAdd});
const CliRegistration kLyricSearch({"lyric-search", "KEYWORD [--custom DIR]",
                                    "Searches the lyric library (and DIR) for LRC files whose "
                                    "names contain KEYWORD.",
                                    lyricSearch});

}  // namespace
