#!/usr/bin/env bash
# Decoding, encoding and the whole accompaniment run on a 4-minute song, beside ffmpeg and lame
# doing the same conversions and beside the shell chain a user would script for an
# accompaniment (ffmpeg | sox | lame), all on the same files in the same run.
# Usage: bench/audiotools/transcode-vs-peers.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seconds=240
sox -n -r 44100 -c 2 -b 16 "$work/song.wav" synth $seconds sine 440 sine 220
lame --quiet -b 128 --cbr "$work/song.wav" "$work/song.mp3"
"$build/bin/vocalia-cli" decode "$work/song.mp3" "$work/pcm.wav" >/dev/null

# Best of three wall-clock runs of a command, in milliseconds.
best_ms() {
    local best=999999999 start elapsed
    for _ in 1 2 3; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        elapsed=$((($(date +%s%N) - start) / 1000000))
        ((elapsed < best)) && best=$elapsed
    done
    echo "$best"
}
chain() {
    ffmpeg -v error -i "$work/song.mp3" -f wav - | sox -t wav - -t wav - remix 1v-1,2v1 1v1,2v-1 |
        lame --quiet -b 128 - "$work/chain.mp3"
}

ffmpeg_decode=$(best_ms ffmpeg -v error -y -i "$work/song.mp3" "$work/peer.wav")
ffmpeg_encode=$(best_ms ffmpeg -v error -y -i "$work/pcm.wav" -b:a 128k "$work/peer.mp3")
lame_encode=$(best_ms lame --quiet -b 128 --cbr "$work/pcm.wav" "$work/peer.mp3")
chain_ms=$(best_ms chain)

VOCALIA_BENCH_MP3=$work/song.mp3 VOCALIA_BENCH_PCM=$work/pcm.wav VOCALIA_BENCH_SECONDS=$seconds \
    "$build/bench/transcode_bench" --benchmark_format=csv --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true 2>/dev/null |
    awk -F, -v s="$seconds" -v fd="$ffmpeg_decode" -v fe="$ffmpeg_encode" -v le="$lame_encode" \
        -v ch="$chain_ms" '
        /_median"?,/ { name = $1; gsub(/"/, "", name); sub(/\/.*/, "", name); ms[name] = $3 }
        function rt(t) { return s * 1000 / t }
        END {
            d = ms["BM_DecodeGraph"]; e = ms["BM_EncodeGraph"]; a = ms["BM_AccompanimentRun"]
            printf "decode     DecodeGraph %6.0f ms (%5.1fx realtime)  ffmpeg %6.0f ms (%5.1fx)  speed ratio %.2f\n", d, rt(d), fd, rt(fd), fd / d
            printf "encode     EncodeGraph %6.0f ms (%5.1fx realtime)  lame   %6.0f ms (%5.1fx)  speed ratio %.2f\n", e, rt(e), le, rt(le), le / e
            printf "                                                    ffmpeg %6.0f ms (%5.1fx)  speed ratio %.2f\n", fe, rt(fe), fe / e
            printf "accompany  whole run   %6.0f ms (%5.1fx realtime)  +%.0f%% over the encode step alone\n", a, rt(a), 100 * (a - e) / e
            printf "           shell chain ffmpeg | sox | lame %6.0f ms (%5.1fx realtime)  ratio run/chain %.2f\n", ch, rt(ch), a / ch
        }'
