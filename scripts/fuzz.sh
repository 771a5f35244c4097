#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 (address and undefined-behaviour sanitizers on) and
# runs each for SECONDS (default 20) from its seeds (see below). Prints one line per
# target with its executions, coverage (seeds -> end) and crashes; exits non-zero on a crash.
# Crashing inputs are kept in build-fuzz/artifacts/, the grown corpora in build-fuzz/corpus/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-20}
targets=(ini lrc midi m3u mp3 wav pinyin text_codec cdg)

source "$root/scripts/compiler-cache.sh"
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_CXX_FLAGS="$sanitizers -O1 -g" -DVOCALIA_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}" fuzz_seeds >/dev/null
# Seeds come from the program's own writers and fixture makers, and from the hand-made texts in
# tests/fuzz/seeds (encodings and layouts from elsewhere).
rm -rf "$build/seeds"
"$build/fuzz/fuzz_seeds" "$build/seeds"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"
failed=0
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    handSeeds=()
    [[ -d $root/tests/fuzz/seeds/$target ]] && handSeeds=("$root/tests/fuzz/seeds/$target")
    log=$work/$target.log
    status=0
    # The seed folders are only read; new inputs go to the corpus.
    TMPDIR=$work "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -rss_limit_mb=1024 -timeout=10 -artifact_prefix="$build/artifacts/$target-" \
        "$corpus" "$build/seeds/$target" "${handSeeds[@]}" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    start=$(grep -m1 -o 'INITED.*cov: [0-9]*' "$log" | grep -o '[0-9]*$' || true)
    end=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
    crashes=0
    if ((status != 0)); then
        crashes=1
        failed=1
    fi
    echo "$target: ${executions:-0} executions, coverage ${start:-0} -> ${end:-0}," \
        "$crashes crashes"
    if ((status != 0)); then
        grep -m20 -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | sed 's/^/    /'
    fi
done
exit "$failed"
