#!/usr/bin/env bash
# Vocal removal as a user runs it: whole `vocalia-cli remove-vocals` processes on a fresh copy of
# a 10-minute 44.1 kHz stereo 16-bit WAV file, without smoothing and with the default two
# passes, beside sox doing the same channel work (`remix 1v-1,2v1 1v1,2v-1`) and beside the
# streaming read+copy limit (`read_copy_limit`: read() of the file in 1 MiB chunks and a memcpy
# of each, nothing else). Every
# contender reads a fresh copy made just before its run, all take turns in rotated order, and
# each is summed up by its median. Every output is checked before its time counts: no
# smoothing must equal sox's output within one step of rounding, two passes must equal sox's
# output through the one-pole low-pass they amount to (y += (x - y) / 4, twice halved) within
# the truncation it accumulates.
# Usage: bench/audiotools/remove-vocals-vs-sox.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-5}
cli=$build/bin/vocalia-cli
limit=$build/bench/read_copy_limit
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Left and right share a 440 Hz "voice"; a 110 Hz "bass" differs between them. Their difference
# stays inside 16 bits, so sox's clipping and the tool's wrap-around agree.
wav=$work/song.wav
sox -D -n -r 44100 -c 2 -b 16 "$wav" synth 600 sine 440 sine 110 remix 1v0.3,2v0.2 1v0.3,2v-0.15
bytes=$(stat -c %s "$wav")
echo "input: 10 min, $bytes bytes, sha256 $(sha256sum "$wav" | cut -c1-16)"

# The largest difference between two WAV files from their second frame on (the tool keeps the
# first frame as it is), in 16-bit steps.
max_difference() {
    sox -D -m -v 1 "|sox $1 -p trim 1s" -v -1 "|sox $2 -p trim 1s" -n stat 2>&1 |
        awk '/^Maximum amplitude/ { m = $3 } /^Minimum amplitude/ { n = -$3 }
             END { printf "%.0f", (m > n ? m : n) * 32768 }'
}

sox -D "$wav" "$work/sox-reference.wav" remix 1v-1,2v1 1v1,2v-1
sox -D "$work/sox-reference.wav" "$work/smoothed-reference.wav" biquad 0.25 0 0 1 -0.75 0 \
    trim 200s

check() {
    local name=$1 file=$2
    case $name in
    sox) [[ $(max_difference "$file" "$work/sox-reference.wav") -le 1 ]] ;;
    P=0) [[ $(max_difference "$file" "$work/sox-reference.wav") -le 1 ]] ;;
    P=2)
        sox -D "$file" "$work/check.wav" trim 200s
        [[ $(max_difference "$work/check.wav" "$work/smoothed-reference.wav") -le 8 ]]
        ;;
    read) true ;;
    esac
}

run() {
    local name=$1 copy=$work/copy.wav out=$work/out.wav
    rm -f "$out" "$copy"
    cp "$wav" "$copy"
    # The copy settles on disk first, as a user's file has: otherwise the page cache is still
    # writing back the previous round's files while this one runs, and whoever runs next pays.
    sync
    local start end
    case $name in
    P=0) start=$(date +%s%N); "$cli" remove-vocals "$copy" --passes 0 >/dev/null; end=$(date +%s%N) ;;
    P=2) start=$(date +%s%N); "$cli" remove-vocals "$copy" --passes 2 >/dev/null; end=$(date +%s%N) ;;
    sox) start=$(date +%s%N); sox -D "$copy" "$out" remix 1v-1,2v1 1v1,2v-1; end=$(date +%s%N) ;;
    read) start=$(date +%s%N); "$limit" "$copy"; end=$(date +%s%N) ;;
    esac
    local result=$copy
    [[ $name == sox ]] && result=$out
    if ! check "$name" "$result"; then
        echo "$name: wrong output" >&2
        exit 1
    fi
    echo "$name $(((end - start) / 1000))" >>"$work/times"
}

contenders=(P=0 P=2 sox read)
for ((round = 0; round < rounds; ++round)); do
    for ((i = 0; i < ${#contenders[@]}; ++i)); do
        run "${contenders[(i + round) % ${#contenders[@]}]}"
    done
done

median() { grep "^$1 " "$work/times" | cut -d' ' -f2 | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
sox_us=$(median sox)
read_us=$(median read)
echo "medians of $rounds rounds, whole processes, fresh copies, outputs checked:"
printf "  %-22s %7.1f ms  %7.0f MB/s\n" "sox remix" "$(echo "$sox_us / 1000" | bc -l)" \
    "$(echo "$bytes / $sox_us" | bc -l)"
printf "  %-22s %7.1f ms  %7.0f MB/s\n" "read+copy limit" "$(echo "$read_us / 1000" | bc -l)" \
    "$(echo "$bytes / $read_us" | bc -l)"
for name in P=0 P=2; do
    us=$(median "$name")
    printf "  %-22s %7.1f ms  %7.0f MB/s  %5.1fx sox  %5.1f%% of the limit\n" \
        "remove-vocals $name" "$(echo "$us / 1000" | bc -l)" "$(echo "$bytes / $us" | bc -l)" \
        "$(echo "$sox_us / $us" | bc -l)" "$(echo "100 * $read_us / $us" | bc -l)"
done
