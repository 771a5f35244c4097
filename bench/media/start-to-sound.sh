#!/usr/bin/env bash
# Start-to-sound time of the song player on a private sound server (needs a build in ./build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
state=$(mktemp -d /tmp/vocalia-start.XXXXXX)
cleanup() {
    "$root/scripts/sound-server.sh" stop "$state"
    rm -rf "$state"
}
trap cleanup EXIT
eval "$("$root/scripts/sound-server.sh" start "$state")"
cmake --build "$build" --target media_bench >/dev/null
"$build/bench/media_bench"
