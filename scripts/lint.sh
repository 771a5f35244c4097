#!/usr/bin/env bash
# Checks formatting of every C++ file and runs clang-tidy over the given files (default: all
# sources). Needs a configured build (scripts/build.sh) for the compile commands.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
cd "$root"
mapfile -t all < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${all[@]}"
if [[ $# -gt 0 ]]; then files=("$@"); else mapfile -t files < <(git ls-files '*.cpp'); fi
clang-tidy -p "$build" --quiet "${files[@]}"
