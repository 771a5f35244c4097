// Commands of the music library: playlists, MP3 headers and tags, song entries, pinyin.

#include <climits>
#include <filesystem>
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliProgram.h"
#include "library/FileHandle.h"
#include "library/M3uPlaylist.h"
#include "library/Mp3Info.h"
#include "library/PinyinConverter.h"
#include "library/SongEntry.h"
#include "shell/AtomicFile.h"
#include "shell/TextCodec.h"

namespace {

void requireReadable(const std::string& path) {
    if (!FileHandle(path, O_RDONLY).isOpen()) {
        throw CliFailure(path + ": " + FileHandle::openError());
    }
}

int wholeNumber(const CliArgs& args, const std::string& option, int def) {
    const long long value = args.number(option, def);
    if (value < INT_MIN || value > INT_MAX) {
        throw CliUsageError(option + " is out of range");
    }
    return static_cast<int>(value);
}

// MP3 files by their frames, everything else through the media engine.
DurationProbe songProbe() {
    return MakeDurationProbe(otherSongFilesProbe());
}

nlohmann::json songJson(const SongEntry& song) {
    return {{"displayName", song.DisplayName},
            {"durationSeconds", song.DurationSeconds},
            {"durationText", song.DurationText}};
}

nlohmann::json entryJson(const SongEntry& song) {
    nlohmann::json entry = songJson(song);
    entry["path"] = song.Path;
    return entry;
}

void printEntries(const std::vector<SongEntry>& songs) {
    CliContext::printJsonWithArray({}, "entries", songs.size(),
                                   [&songs](size_t i) { return entryJson(songs[i]); });
}

int m3u(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    std::string bytes;
    std::string error;
    if (!readWholeFile(file, bytes, &error)) {
        throw CliFailure(error);
    }
    CliContext::printJsonWithStream({}, "entries", [&](const CliContext::JsonSink& print) {
        ForEachM3uEntry(bytes, PlaylistFolder(file),
                        [&print](SongEntry&& song) { print(entryJson(song)); });
    });
    return 0;
}

int m3uSave(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    if (args.positional().size() < 2) {
        throw CliUsageError("OUT and at least one FILE are needed");
    }
    const DurationProbe probe = songProbe();
    std::vector<SongEntry> songs;
    for (size_t i = 1; i < args.positional().size(); ++i) {
        const std::string& file = args.positional()[i];
        // A folder or a device is no song; nothing is written then.
        std::error_code ignored;
        if (std::filesystem::exists(file, ignored) &&
            !std::filesystem::is_regular_file(file, ignored)) {
            throw CliFailure(file + ": not a song file");
        }
        // The playlist may lie elsewhere: its paths are absolute, as the player adds them.
        songs.push_back(CreateSongEntry(std::filesystem::absolute(file, ignored), probe));
    }
    std::string error;
    if (!SaveM3u(args.positional(0, "OUT"), songs, &error)) {
        throw CliFailure(error);
    }
    printEntries(songs);
    return 0;
}

int mp3info(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    Mp3Info info;
    if (!info.Read(file)) {
        throw CliFailure(file + ": " + FileHandle::openError());
    }
    const auto text = [](const std::string& stored) { return TextCodec::decodeStoredText(stored); };
    CliContext::printJson({{"flags", info.Flags()},
                           {"artist", text(info.Artist())},
                           {"title", text(info.Title())},
                           {"album", text(info.Album())},
                           {"comment", text(info.Comment())},
                           {"year", text(info.Year())},
                           {"track", info.Track()},
                           {"genre", info.Genre()},
                           {"frameCount", info.FrameCount()},
                           {"duration", info.Duration()},
                           {"version", info.Version()},
                           {"layer", info.Layer()},
                           {"protection", info.Protection()},
                           {"bitrate", info.Bitrate()},
                           {"sampleRate", info.SampleRate()},
                           {"channelMode", info.ChannelMode()},
                           {"emphasis", info.Emphasis()},
                           {"copyright", info.Copyright()},
                           {"original", info.Original()}});
    return 0;
}

int tag(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(
        raw, {"--title", "--artist", "--album", "--year", "--comment", "--track", "--genre"},
        {"--remove"});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    Mp3Info info;
    info.SetTitle(args.value("--title", ""));
    info.SetArtist(args.value("--artist", ""));
    info.SetAlbum(args.value("--album", ""));
    info.SetYear(args.value("--year", ""));
    info.SetComment(args.value("--comment", ""));
    info.SetTrack(wholeNumber(args, "--track", 0));
    info.SetGenre(wholeNumber(args, "--genre", 255));
    const bool remove = args.has("--remove");
    if (!info.WriteTag(file, remove)) {
        throw CliFailure(file + ": cannot write the tag: " + FileHandle::openError());
    }
    CliContext::printJson({{"path", file}, {"removed", remove}});
    return 0;
}

int song(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    requireReadable(file);
    CliContext::printJson(songJson(CreateSongEntry(file, songProbe())));
    return 0;
}

int pinyin(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--options"}, {});
    args.expectPositionals(1, 1);
    const PinyinConverter converter;
    std::cout << converter.ConvertUtf8(args.positional(0, "TEXT"),
                                       wholeNumber(args, "--options", 4))
              << '\n';
    return 0;
}

const CliRegistration kM3u({"m3u", "FILE", "Prints the entries of an M3U playlist.", m3u});
const CliRegistration kM3uSave({"m3u-save", "OUT FILE...",
                                "Adds each FILE as the song list does and saves the list as an "
                                "M3U playlist.",
                                m3uSave});
const CliRegistration kMp3Info({"mp3info", "FILE",
                                "Prints the MPEG audio header fields and the ID3v1 tag of a "
                                "file.",
                                mp3info});
const CliRegistration kTag({"tag",
                            "FILE [--title T] [--artist A] [--album X] [--year Y] [--comment C] "
                            "[--track N] [--genre G] [--remove]",
                            "Writes (or with --remove removes) the ID3v1 tag of a file.", tag});
const CliRegistration kSong({"song", "FILE",
                             "Prints the name and duration the song list gives a file.", song});
const CliRegistration kPinyin({"pinyin", "TEXT [--options N]",
                               "Prints the pinyin of a text (options: 1 whole syllables, 2 mark "
                               "unknown characters, 4 letters and digits only; default 4).",
                               pinyin});

}  // namespace
