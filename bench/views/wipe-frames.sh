#!/usr/bin/env bash
# Frame times and wipe error of the lyrics view playing a word-timed lyric, on a private sound
# server (needs a build in ./build). VOCALIA_BENCH_PLAY_SECONDS sets the length (20 s).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
cmake --build "$build" --target wipe_frames_bench >/dev/null
"$root/scripts/with-sound-server.sh" "$build/bench/wipe_frames_bench"
