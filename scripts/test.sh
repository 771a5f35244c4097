#!/usr/bin/env bash
# Installs what is missing, builds, starts a private sound server and runs the whole test suite.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# CI also checks that a packager's Release build of the programs compiles.
if [[ "${CI:-}" == "true" ]]; then
    "$root/scripts/release-build.sh"
fi
"$root/scripts/with-sound-server.sh" env QT_QPA_PLATFORM=offscreen \
    ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
# Then CI runs the tests again under the address and undefined-behaviour sanitizers, the
# worker-thread tests under the thread sanitizer, and fuzzes every parser briefly.
if [[ "${CI:-}" == "true" ]]; then
    "$root/scripts/sanitize.sh"
    "$root/scripts/tsan.sh"
    "$root/scripts/fuzz.sh" 20
fi
