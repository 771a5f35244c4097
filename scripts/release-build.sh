#!/usr/bin/env bash
# Builds the three programs as a packager would: Release, warnings not turned into errors.
# CI runs it beside the test build, so optimised builds keep compiling with Debian's compilers.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_RELEASE_BUILD_DIR:-$root/build-release}
source "$root/scripts/compiler-cache.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target Vocalia Verslet vocalia-cli vocalia-cli-media
