#!/usr/bin/env bash
# Lyric search over a library of 20,000 LRC files (1,000 singer folders) beside
# `find ROOT -name '*KEY*.lrc'` on the same tree, both with the tree in the cache.
# Usage: bench/lyrics/search-vs-find.sh [BUILD_DIR] [KEY]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
key=${2:-77}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
library=$work/MyLyrics
for ((s = 0; s < 1000; ++s)); do
    mkdir -p "$library/Singer $s"
    for ((t = 0; t < 20; ++t)); do
        n=$((s * 20 + t))
        printf '[ar:Singer %d]\r\n[ti:Title %d]\r\n[00:01.00]la\r\n' "$s" "$n" \
            >"$library/Singer $s/Title $n.lrc"
    done
done
find "$library" -name "*$key*.lrc" >/dev/null  # into the cache

best=999999
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    found=$(find "$library" -name "*$key*.lrc" | wc -l)
    elapsed=$((($(date +%s%N) - start) / 1000))
    ((elapsed < best)) && best=$elapsed
done
echo "find: ${best} us for $found files"

VOCALIA_BENCH_LYRICS=$library VOCALIA_BENCH_KEY=$key "$build/bench/lyrics_bench" \
    --benchmark_filter=SearchLibrary --benchmark_format=csv --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null |
    awk -F, -v find="$best" '
        /_median"?,/ {
            us = $3 * ($5 ~ /ms/ ? 1000 : 1)
            printf "SearchFolder: %.0f us  %.2fx the time of find\n", us, us / find
        }'
