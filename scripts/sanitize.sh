#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/ and
# runs them beside a private sound server: the first error fails its test, and leaks are errors
# except the libraries' own ones listed in tests/sanitize/lsan.supp.
#   sanitize.sh                    every test, as CTest runs them (the crash-safety rounds aside)
#   sanitize.sh TEST_BINARY...     those binaries, each whole in one process
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

targets=("$@")
if (($# == 0)); then
    # Every test binary the test folders declare, and the programs that the session-bus, install
    # and package tests start or install.
    mapfile -t targets < <(sed -n 's/^vocalia_add_test(\([a-z0-9_]*\).*/\1/p' \
        "$root"/tests/*/CMakeLists.txt)
    targets+=(Vocalia Verslet vocalia-cli vocalia-cli-media)
fi
source "$root/scripts/sanitized-build.sh"
sanitized_build "$build" "-fsanitize=address,undefined -fno-sanitize-recover=all" "${targets[@]}"

# Slow unwinding gives whole stacks through the libraries, which lack frame pointers.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitize/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
if (($# == 0)); then
    # Left out: the crash-safety rounds kill the tool 300 times to see what a kill leaves on
    # disk, which the sanitizers do not look at, and take ten minutes under them.
    exec "$root/scripts/with-sound-server.sh" ctest --test-dir "$build" --output-on-failure \
        -j "$(nproc)" -E '^CrashSafetyTest\.'
fi
exec "$root/scripts/with-sound-server.sh" "$0" --run-built "$@"
