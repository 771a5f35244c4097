#!/usr/bin/env bash
# `vocalia-cli mp3info` beside ffprobe, mediainfo and gst-discoverer-1.0 asking each for the
# length of the same 5-minute MP3, once 128 kbit/s CBR and once VBR (`lame -V 4`), both as lame
# writes them. Whole processes, interleaved rotated rounds, medians; every run's length is
# checked (300 s within a second). A peer that is not installed is left out, with a note.
# Aims: vocalia-cli at most 1/10 of ffprobe's time and 1/2 of mediainfo's.
# Usage: bench/library/mp3info-vs-peers.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-31}
source "$root/bench/process-rounds.sh"
cmake --build "$build" --target vocalia-cli >/dev/null
cli=$build/bin/vocalia-cli

# A song-like signal: two tones and some noise, so that VBR frames vary in size.
wav=$round_dir/song.wav
sox -n -r 44100 -c 2 -b 16 "$wav" synth 300 sine 440 sine 660 synth 300 pinknoise mix \
    vol 0.5 2>/dev/null
lame --quiet -b 128 --cbr "$wav" "$round_dir/cbr.mp3"
lame --quiet -V 4 "$wav" "$round_dir/vbr.mp3"
rm "$wav"

# The length each tool prints, in seconds, must be 300 within one second.
near300() { awk -v s="$1" 'BEGIN { exit !(s >= 299 && s <= 301) }'; }

run_vocalia_cli() { "$cli" mp3info "$mp3"; }
check_vocalia_cli() { near300 "$(grep -o '"duration":[0-9.]*' "$round_out" | cut -d: -f2)"; }
run_ffprobe() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$mp3"; }
check_ffprobe() { near300 "$(<"$round_out")"; }
run_mediainfo() { mediainfo --Inform='General;%Duration%' "$mp3"; }
check_mediainfo() { near300 "$(awk '{ print $1 / 1000 }' "$round_out")"; }
run_discoverer() { gst-discoverer-1.0 "$mp3"; }
check_discoverer() {
    near300 "$(awk '$1 == "Duration:" { split($2, t, ":"); print t[1] * 3600 + t[2] * 60 + t[3] }' \
        "$round_out")"
}

contenders=(vocalia_cli)
declare -A tool=([ffprobe]=ffprobe [mediainfo]=mediainfo [discoverer]=gst-discoverer-1.0)
for peer in ffprobe mediainfo discoverer; do
    if command -v "${tool[$peer]}" >/dev/null; then
        contenders+=("$peer")
    else
        echo "note: ${tool[$peer]} is not installed; left out"
    fi
done

echo "vocalia-cli $(sha256sum "$cli" | cut -c1-16), $rounds rounds, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for kind in cbr vbr; do
    mp3=$round_dir/$kind.mp3
    cat "$mp3" >/dev/null  # into the page cache
    rounds_run 3 "${contenders[@]}"  # warm-up, not counted
    rounds_run "$rounds" "${contenders[@]}"
    echo "${kind^^} ($(stat -c %s "$mp3") bytes, sha256 $(sha256sum "$mp3" | cut -c1-16)):"
    ours=$(rounds_median vocalia_cli)
    for name in "${contenders[@]}"; do
        median=$(rounds_median "$name")
        awk -v n="${tool[$name]:-vocalia-cli mp3info}" -v m="$median" -v o="$ours" \
            -v r="$(rounds_range "$name")" 'BEGIN {
            printf "  %-20s median %7.2f ms  (%s)  vocalia-cli takes %.3f of its time\n",
                   n, m / 1000, r, o / m }'
    done
done
