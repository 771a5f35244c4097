#!/usr/bin/env bash
# Adds 1,000 MP3 files to the song list (views_bench) and compares the cost per file with
# gst-discoverer-1.0 measuring the same files' durations (a sample of 50, one process each
# as a player without a frame scanner would), then prints the ratio.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d /tmp/vocalia-views-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export VOCALIA_BENCH_DIR=$work QT_QPA_PLATFORM=offscreen

ours=$("$build/bench/views_bench" --benchmark_filter=Add1000 --benchmark_format=csv 2>/dev/null |
    awk -F, '/BM_Add1000Mp3Files/ { print $3 }')
ours_per_file=$(awk -v t="$ours" 'BEGIN { printf "%.3f", t / 1000 }')

start=$(date +%s%N)
for i in $(seq 0 49); do
    gst-discoverer-1.0 "$work/mp3/song$i.mp3" >/dev/null 2>&1 || true
done
peer_per_file=$(awk -v ns="$(($(date +%s%N) - start))" 'BEGIN { printf "%.3f", ns / 1e6 / 50 }')

echo "views_bench add 1,000 MP3 files: ${ours} ms (${ours_per_file} ms per file)"
echo "gst-discoverer-1.0 per file:     ${peer_per_file} ms"
awk -v a="$peer_per_file" -v b="$ours_per_file" \
    'BEGIN { printf "ratio (discoverer / ours):      %.1fx\n", a / b }'
"$build/bench/views_bench" --benchmark_filter=Repaint
