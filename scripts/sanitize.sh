#!/usr/bin/env bash
# Builds test binaries with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/
# and runs them beside a private sound server: the first error stops the run, leaks are errors
# except the libraries' own ones listed in tests/sanitize/lsan.supp.
#   sanitize.sh [TEST_BINARY...]     default: the core test binaries (see below)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VOCALIA_SANITIZE_BUILD_DIR=${VOCALIA_SANITIZE_BUILD_DIR:-$root/build-sanitize}
build=$VOCALIA_SANITIZE_BUILD_DIR
# Run again by itself beside the sound server once built.
if [[ "${1:-}" == --run-built ]]; then
    shift
    for binary in "$@"; do
        echo "== $binary"
        "$build/tests/$binary" --gtest_brief=1
    done
    exit 0
fi
# The formats, algorithms and runs; the media and window tests are left out for time.
binaries=("$@")
if ((${#binaries[@]} == 0)); then
    binaries=(shell_tests lyrics_tests library_tests audiotools_tests transcode_tests
        tool_run_tests)
fi

source "$root/scripts/sanitized-build.sh"
sanitized_build "$build" "-fsanitize=address,undefined -fno-sanitize-recover=all" "${binaries[@]}"

# Slow unwinding gives whole stacks through the libraries, which lack frame pointers.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitize/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
exec "$root/scripts/with-sound-server.sh" "$0" --run-built "${binaries[@]}"
