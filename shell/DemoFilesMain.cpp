#include <cstdio>
#include <filesystem>
#include <string>

#include "shell/AtomicFile.h"
#include "shell/DemoSong.h"

// demo-files FOLDER: writes the demo song's MIDI file and its LRC lyric into FOLDER, which the
// build installs with the help pages.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-files FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string base = folder + DemoSong::kTitle;
    if (ec || !writeFileAtomically(base + ".mid", DemoSong::MidiBytes()) ||
        !writeFileAtomically(base + ".lrc", DemoSong::LyricText())) {
        std::fprintf(stderr, "demo-files: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
