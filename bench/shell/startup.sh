#!/usr/bin/env bash
# Start-up time of the player (process start to main window shown, splash skipped) beside a
# bare Qt window started the same way, and their ratio.
set -euo pipefail
build=${VOCALIA_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build}
cmake --build "$build" --target startup_bench >/dev/null
"$build/bench/startup_bench" --benchmark_format=csv 2>/dev/null | awk -F, '
    /BM_PlayerStartToMainWindow/ { player = $3 }
    /BM_BareQtWindowStart/ { bare = $3 }
    END {
        printf "player start to main window: %.1f ms\n", player
        printf "bare Qt window:              %.1f ms\n", bare
        if (bare > 0) printf "ratio player / bare Qt:      %.2f\n", player / bare
    }'
