#pragma once

#include "cli/CliCommand.h"

// The key and tempo options of the commands that play or render a song, checked against the
// player's ranges; a usage error says what is allowed.

// --key N: semitones, -6..6 (default 0).
int keyOption(const CliArgs& args);
// --tempo P: percent of the original speed, 80..120 in steps of 5 (default 100).
int tempoOption(const CliArgs& args);
