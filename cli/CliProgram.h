#pragma once

#include <stdexcept>
#include <string>

#include "library/SongEntry.h"

// The tool is two programs. vocalia-cli has the core commands, which need nothing above Qt
// Core, so it starts about as fast as a process can; vocalia-cli-media has every command and
// links the media engine. vocalia-cli hands a command line it cannot run to vocalia-cli-media,
// so users always type `vocalia-cli COMMAND`. Each program's main file defines what differs.

// Thrown by a core command, before it writes or prints anything, when an input needs the media
// engine: vocalia-cli then hands the whole command line over.
struct CliNeedsMedia : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// How the song list measures files other than MP3 (the song and m3u-save commands).
DurationProbe otherSongFilesProbe();

// Runs the command line of another program in this process's place. `command` names what is
// asked for (in messages). Returns only when it cannot, with the exit status after saying why.
using CliHandOff = int (*)(char** argv, const std::string& homeOption, const std::string& command);

// The command line: the global options, the list of commands, one command. `handOff` is null in
// the program that has every command; otherwise it takes the command line when this program
// lacks the command, the command needs the media engine, or the list of all commands is asked.
int runCommandLine(int argc, char** argv, CliHandOff handOff);
