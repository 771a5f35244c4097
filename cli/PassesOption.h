#pragma once

#include <algorithm>

#include "cli/CliCommand.h"

// --passes P of the commands that remove the centre voice: smoothing passes, default 2. Beyond a
// few dozen passes nothing changes any more, so huge counts are simply clamped.
inline int passesOption(const CliArgs& args) {
    return static_cast<int>(std::clamp<long long>(args.number("--passes", 2), -1, 1000));
}
