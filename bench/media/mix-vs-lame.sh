#!/usr/bin/env bash
# A whole `vocalia-cli mix` (a 59 s voice MP3 at +1000 ms over a 60 s song MP3, so a 60 s mix)
# beside `lame -b 128` encoding a 60 s WAV, in interleaved rounds with the order rotated.
# Every output is checked before its time counts: lame's by its length, the mix's by its
# length and by where the clicks of both inputs land once ffmpeg decodes it (the music's at 0
# and 30 s, the voice's at 1 and 21 s, each within 1 ms). Prints the inputs' checksums, both
# medians and their ratio.
#   bench/media/mix-vs-lame.sh [ROUNDS]      (default 5; needs a build in ./build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
rounds=${1:-5}
work=$(mktemp -d /tmp/vocalia-mix.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A quiet tone with full-scale clicks at the given seconds.
with_clicks() {
    local out=$1 seconds=$2 hz=$3
    shift 3
    sox -V1 -n -r 44100 -c 2 -b 16 tone.wav synth "$seconds" sine "$hz" vol 0.1
    local parts=(-v 1 tone.wav)
    for at in "$@"; do
        sox -V1 -n -r 44100 -c 2 -b 16 "click$at.wav" synth 0.002 square 1000 vol 0.9 \
            pad "$at" "$(echo "$seconds - $at - 0.002" | bc)"
        parts+=(-v 1 "click$at.wav")
    done
    sox -V1 -m "${parts[@]}" "$out"
    rm -f tone.wav click*.wav
}
with_clicks music.wav 60 220 0 30
with_clicks voice.wav 59 330 0 20
lame --quiet -b 128 music.wav music.mp3
lame --quiet -b 128 voice.wav voice.mp3
rm voice.wav
sha256sum music.wav music.mp3 voice.mp3 | awk '{ print substr($1, 1, 16), $2 }'
cat music.wav music.mp3 voice.mp3 >/dev/null

run_lame() { lame --quiet -b 128 music.wav lame-out.mp3; }
run_mix() {
    "$build/bin/vocalia-cli" --home "$work" mix --voice voice.mp3 --offset 1000 \
        --music music.mp3 -o mix-out.mp3 >/dev/null
}
# Decodes $1 with ffmpeg and checks its length ($2 s) and the clicks at the seconds that follow.
check() {
    local mp3=$1 seconds=$2
    shift 2
    ffmpeg -loglevel error -y -i "$mp3" -f s16le -ac 1 -ar 44100 decoded.raw
    python3 - decoded.raw "$seconds" "$@" <<'PY'
import array, sys
samples = array.array("h")
with open(sys.argv[1], "rb") as raw:
    samples.frombytes(raw.read())
rate = 44100
length = len(samples) / rate
if abs(length - float(sys.argv[2])) > 0.03:
    sys.exit("length %.3f s, expected %s s" % (length, sys.argv[2]))
for at in map(float, sys.argv[3:]):
    first = int((at - 0.05) * rate)
    onset = next((i for i in range(max(first, 0), first + int(0.1 * rate))
                  if abs(samples[i]) > 16000), None)
    if onset is None or abs(onset / rate - at) > 0.001:
        sys.exit("click expected at %.3f s, found at %s" % (at, onset and onset / rate))
PY
}
# Runs "$1" with a fresh output, checks its output, then prints its wall time and its processor
# time (user + system) in ms.
timed() {
    rm -f lame-out.mp3 mix-out.mp3
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f "%U %S" -o cpu.txt bash -c "$(declare -f "$1"); build=$build work=$work $1"
    end=$(date +%s%N)
    case $1 in
    run_lame) check lame-out.mp3 60 0 30 ;;
    run_mix) check mix-out.mp3 60 0 1 21 30 ;;
    esac
    echo "$(((end - start) / 1000000)) $(awk '{ printf "%d", ($1 + $2) * 1000 }' cpu.txt)"
}

lame_ms=()
mix_ms=()
for round in $(seq "$rounds"); do
    if ((round % 2)); then
        lame_ms+=("$(timed run_lame)")
        mix_ms+=("$(timed run_mix)")
    else
        mix_ms+=("$(timed run_mix)")
        lame_ms+=("$(timed run_lame)")
    fi
    echo "round $round (wall, processor ms): lame ${lame_ms[-1]}, vocalia-cli mix ${mix_ms[-1]}"
done
python3 - "${lame_ms[*]}" "${mix_ms[*]}" <<'PY'
import statistics, sys
def medians(text):
    values = list(map(int, text.split()))
    return statistics.median(values[0::2]), statistics.median(values[1::2])
lame, lame_cpu = medians(sys.argv[1])
mix, mix_cpu = medians(sys.argv[2])
print("lame -b 128 (60 s WAV):     median %d ms wall, %d ms processor" % (lame, lame_cpu))
print("vocalia-cli mix (60 s mix): median %d ms wall, %d ms processor" % (mix, mix_cpu))
print("ratio %.2f wall (aim <= 1.2), %.2f processor" % (mix / lame, mix_cpu / lame_cpu))
PY
