#!/usr/bin/env bash
# Configures and builds Vocalia into build/ (or $VOCALIA_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
source "$root/scripts/compiler-cache.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${VOCALIA_BUILD_TYPE:-RelWithDebInfo}" \
    -DVOCALIA_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
