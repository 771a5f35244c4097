#!/usr/bin/env bash
# Start-to-sound time of the song player on a private sound server (needs a build in ./build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
cmake --build "$build" --target media_bench >/dev/null
"$root/scripts/with-sound-server.sh" "$build/bench/media_bench"
