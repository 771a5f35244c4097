#!/usr/bin/env bash
# The MP3 frame scan on a 5-minute 128 kbit/s MP3 beside gst-discoverer-1.0 (and ffprobe when
# installed) measuring the same file. Both as whole programs (vocalia-cli mp3info against the
# peer) and the scan alone inside library_bench.
# Usage: bench/library/mp3info-vs-discoverer.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mp3=$work/song.mp3
sox -n -r 44100 -c 2 -b 16 "$work/song.wav" synth 300 sine 440 sine 660
gst-launch-1.0 -q filesrc location="$work/song.wav" ! wavparse ! audioconvert ! \
    lamemp3enc target=bitrate cbr=true bitrate=128 ! filesink location="$mp3"
cat "$mp3" >/dev/null  # into the page cache

# Best of five wall-clock runs of a command, in microseconds.
best_of_five() {
    local best=999999999 start elapsed
    for _ in 1 2 3 4 5; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        elapsed=$((($(date +%s%N) - start) / 1000))
        ((elapsed < best)) && best=$elapsed
    done
    echo "$best"
}

cli=$(best_of_five "$build/bin/vocalia-cli" mp3info "$mp3")
peers=("gst-discoverer-1.0 $(best_of_five gst-discoverer-1.0 "$mp3")")
if command -v ffprobe >/dev/null; then
    peers+=("ffprobe $(best_of_five ffprobe -hide_banner "$mp3")")
fi
scan=$(VOCALIA_BENCH_MP3=$mp3 "$build/bench/library_bench" --benchmark_filter=Mp3Info \
    --benchmark_format=csv --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    2>/dev/null | awk -F, '/_median"?,/ { print $3 * ($5 ~ /ms/ ? 1000 : 1) }')
echo "vocalia-cli mp3info: ${cli} us (process); Mp3Info scan alone: ${scan} us"
for peer in "${peers[@]}"; do
    name=${peer% *}
    us=${peer##* }
    awk -v n="$name" -v p="$us" -v c="$cli" -v s="$scan" 'BEGIN {
        printf "%s: %d us  process %.1fx slower than vocalia-cli, %.0fx slower than the scan\n",
               n, p, p / c, p / s }'
done
