#!/usr/bin/env bash
# Builds the tests that drive Vocalia's worker threads (adding songs, the lyric search, the
# vocal remover's two halves) with ThreadSanitizer into build-tsan/ and runs them beside a
# private sound server.
# Debian's Qt, GLib and GStreamer are not instrumented: the happens-before edges inside them
# (their mutexes, event queues and thread starts) are invisible to the sanitizer, so reports with
# those libraries in their stacks are suppressed, library by library, in tests/sanitize/tsan.supp.
# A race between Vocalia's own threads (std::jthread, standard mutexes) is reported and fails it.
#   tsan.sh [TEST_BINARY...]     default: the worker tests (see below)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_TSAN_BUILD_DIR:-$root/build-tsan}
binaries=("$@")
if ((${#binaries[@]} == 0)); then
    # The audio tools' runs and dialogs (transcode_tests, audiotools_ui_tests) drive GStreamer,
    # whose own hand-overs between threads the sanitizer cannot see (it reports races inside
    # its audio, ORC and GObject libraries and the sound server's client); run them by name.
    binaries=(views_window_tests lyric_dialog_tests audiotools_tests)
fi

source "$root/scripts/sanitized-build.sh"
sanitized_build "$build" "-fsanitize=thread" "${binaries[@]}"

export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/sanitize/tsan.supp"
export QT_QPA_PLATFORM=offscreen
# The sanitizer script's run step runs each binary in turn beside the sound server.
export VOCALIA_SANITIZE_BUILD_DIR=$build
exec "$root/scripts/with-sound-server.sh" "$root/scripts/sanitize.sh" --run-built "${binaries[@]}"
