#!/usr/bin/env bash
# The accompaniment as a user runs it: a whole `vocalia-cli accompany` process (decode, voice
# removal with the default two smoothing passes, MP3 encode at 128 kbit/s, tag) on a 4-minute
# MP3, beside the shell chain a user would script for it:
#   ffmpeg -i IN -f wav - | sox -V1 -t wav - -t wav - remix 1v-1,2v1 1v1,2v-1 | lame -b 128 - OUT
# Both take turns in rotated order on the same input, each is summed up by its median, and each
# output is checked before its time counts: it decodes (with ffmpeg) to the input's length
# within one MP3 frame, and the centre "voice" is gone while the one-sided "guitar" stays (its
# level that of the guitar alone, less at most the 20 % that two MP3 encodings of the side
# signal lose; with the voice left in it would be several times higher).
# Usage: [VOCALIA_BENCH_SECONDS=240] bench/audiotools/transcode-vs-peers.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-5}
cli=$build/bin/vocalia-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seconds=${VOCALIA_BENCH_SECONDS:-240}
rate=44100

# A loud 440 Hz voice in the centre, a softer 220 Hz guitar in the left channel only.
sox -D -n -r $rate -c 2 -b 16 "$work/song.wav" synth $seconds sine 440 sine 220 \
    remix 1v0.5,2v0.25 1v0.5
lame --quiet -b 128 --cbr "$work/song.wav" "$work/song.mp3"
echo "input: $seconds s MP3, sha256 $(sha256sum "$work/song.mp3" | cut -c1-16)"

rms() { sox "$1" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'; }
# What removal leaves: the guitar alone, in both channels.
guitar=$(sox -D -n -r $rate -c 1 -p synth 10 sine 220 vol 0.25 | sox -p -n stat 2>&1 |
    awk '/^RMS +amplitude/ { print $3 }')

check() {
    local mp3=$1 decoded=$work/check.wav
    ffmpeg -v error -y -i "$mp3" "$decoded"
    local frames level
    frames=$(($(soxi -s "$decoded")))
    level=$(rms "$decoded")
    ((frames >= seconds * rate - 1152 && frames <= seconds * rate + 1152)) || return 1
    awk -v l="$level" -v g="$guitar" 'BEGIN { exit !(l > 0.8 * g && l < 1.1 * g) }'
}

run() {
    local name=$1 out=$work/$1.mp3 start end
    rm -f "$out"
    case $name in
    accompany)
        start=$(date +%s%N)
        "$cli" accompany "$work/song.mp3" -o "$out" >/dev/null 2>&1
        end=$(date +%s%N)
        ;;
    chain)
        start=$(date +%s%N)
        ffmpeg -v error -i "$work/song.mp3" -f wav - |
            sox -V1 -t wav - -t wav - remix 1v-1,2v1 1v1,2v-1 | lame --quiet -b 128 - "$out"
        end=$(date +%s%N)
        ;;
    esac
    if ! check "$out"; then
        echo "$name: wrong output" >&2
        exit 1
    fi
    echo "$name $(((end - start) / 1000000))" >>"$work/times"
}

contenders=(accompany chain)
for ((round = 0; round < rounds; ++round)); do
    for ((i = 0; i < ${#contenders[@]}; ++i)); do
        run "${contenders[(i + round) % ${#contenders[@]}]}"
    done
done
left=$(ls "$work" | grep -v -x -e song.wav -e song.mp3 -e accompany.mp3 -e chain.mp3 \
    -e check.wav -e times || true)
[[ -z $left ]] || { echo "files left behind: $left" >&2; exit 1; }

median() { grep "^$1 " "$work/times" | cut -d' ' -f2 | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
run_ms=$(median accompany)
chain_ms=$(median chain)
echo "medians of $rounds rounds, whole processes, outputs checked:"
printf "  %-42s %6d ms  %5.1fx realtime\n" "vocalia-cli accompany" "$run_ms" \
    "$(echo "$seconds * 1000 / $run_ms" | bc -l)"
printf "  %-42s %6d ms  %5.1fx realtime\n" "ffmpeg | sox remix | lame -b 128" "$chain_ms" \
    "$(echo "$seconds * 1000 / $chain_ms" | bc -l)"
printf "  time ratio accompany / chain: %.2f (aim: at most 0.90)\n" \
    "$(echo "$run_ms / $chain_ms" | bc -l)"
