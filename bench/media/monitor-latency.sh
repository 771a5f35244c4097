#!/usr/bin/env bash
# Delay of the live microphone monitor ("PhoneSet" defaults) from the virtual microphone to the
# speakers, beside the sound server's own module-loopback at latency_msec=20, on a private
# sound server in one run. Each contender is started STARTS times (default 10), the two
# interleaved and their order rotated each round; every start is a new process (ours: a whole
# `vocalia-cli monitor`) or a new module. Per start, CLICKS clicks (default 3) go into the
# microphone's feed; one recording holds the feed and the speakers side by side (so both ends
# share one clock), and the start's delay is the median distance between the click onsets in
# the two channels. A start counts only when every click came through. Prints every start's
# delay, then the median and the 90th percentile of both and their ratios.
#   bench/media/monitor-latency.sh [STARTS] [CLICKS]     (needs a build in ./build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
starts=${1:-10}
clicks=${2:-3}
# Runs itself again beside a private sound server of its own.
if [[ -z "${VOCALIA_LATENCY_SERVER:-}" ]]; then
    exec "$root/scripts/with-sound-server.sh" env VOCALIA_LATENCY_SERVER=1 "$0" "$starts" "$clicks"
fi
state=$(mktemp -d /tmp/vocalia-latency.XXXXXX)
trap 'rm -rf "$state"' EXIT
sox -n -r 44100 -c 1 -b 16 "$state/click.wav" synth 0.003 square 1000 pad 0.3 0.3
echo "click: $(sha256sum <"$state/click.wav" | cut -c1-16)"

# Delay in ms of the microphone-to-speaker route that the command $1 starts and $2 stops,
# "nan" when a click did not come through. The recorder runs before the route starts: a
# recorder that attaches to the speakers' monitor while a client stream already plays there
# can see its two channels shifted by over 100 ms. It keeps the default 10 ms capture
# segments: the speakers' null sink runs at the lowest latency any of its streams asks for, so
# smaller ones would flatter every route.
measure() {
    local wav="$state/both.wav"
    gst-launch-1.0 -q -e interleave name=both ! audioconvert ! wavenc ! filesink location="$wav" \
        pulsesrc device=micfeed.monitor ! audio/x-raw,rate=44100,channels=1 ! both.sink_0 \
        pulsesrc device=out.monitor ! audio/x-raw,rate=44100,channels=1 ! both.sink_1 &
    local recorder=$!
    sleep 0.5
    "$1"
    sleep 1
    for _ in $(seq "$clicks"); do
        paplay --device=micfeed "$state/click.wav"
        sleep 0.3
    done
    "$2"
    kill -INT "$recorder"
    wait "$recorder" || true
    python3 - "$wav" "$clicks" <<'PY'
import struct, sys, wave, statistics
w = wave.open(sys.argv[1])
rate, n = w.getframerate(), w.getnframes()
data = struct.unpack("<%dh" % (n * 2), w.readframes(n))
feed, heard = data[0::2], data[1::2]
def onsets(samples, threshold=4000, gap=0.5):
    found, last = [], -rate
    for i, s in enumerate(samples):
        if abs(s) > threshold and i - last > gap * rate:
            found.append(i)
        if abs(s) > threshold:
            last = i
    return found
delays = []
for start in onsets(feed):
    later = [h for h in onsets(heard) if 0 <= h - start < rate * 0.4]
    if later:
        delays.append((later[0] - start) * 1000.0 / rate)
print("%.1f" % statistics.median(delays) if len(delays) == int(sys.argv[2]) else "nan")
PY
}

home="$state/home"
mkdir -p "$home"
start_ours() {
    "$build/bin/vocalia-cli" --home "$home" monitor --seconds 60 >/dev/null &
    ours_pid=$!
    # Its start-up (a new process) is not the delay: the clicks wait until its loopback is in.
    for _ in $(seq 100); do
        pactl list modules short | grep -q vocalia.monitor= && break
        sleep 0.1
    done
}
# It takes its loopback off the server when told to end.
stop_ours() {
    kill -TERM "$ours_pid"
    wait "$ours_pid"
}
start_loopback() {
    module=$(pactl load-module module-loopback source=mic sink=out latency_msec=20)
}
stop_loopback() { pactl unload-module "$module"; }

ours=()
loop=()
for round in $(seq "$starts"); do
    if ((round % 2)); then
        ours+=("$(measure start_ours stop_ours)")
        loop+=("$(measure start_loopback stop_loopback)")
    else
        loop+=("$(measure start_loopback stop_loopback)")
        ours+=("$(measure start_ours stop_ours)")
    fi
    echo "start $round: vocalia monitor ${ours[-1]} ms, module-loopback 20 ms ${loop[-1]} ms"
done

python3 - "${ours[*]}" "${loop[*]}" <<'PY'
import math, statistics, sys
def summary(text):
    values = sorted(float(v) for v in text.split())
    lost = sum(math.isnan(v) for v in values)
    values = [v for v in values if not math.isnan(v)]
    # Nearest rank: the 9th of 10.
    p90 = values[max(0, math.ceil(0.9 * len(values)) - 1)]
    return statistics.median(values), p90, lost
om, op, ol = summary(sys.argv[1])
lm, lp, ll = summary(sys.argv[2])
print("vocalia monitor (PhoneSet defaults): median %.1f ms, p90 %.1f ms, %d starts lost" % (om, op, ol))
print("module-loopback latency_msec=20:     median %.1f ms, p90 %.1f ms, %d starts lost" % (lm, lp, ll))
print("ratio of the medians %.2f (aim <= 1), of the p90s %.2f; our p90 %.1f ms (aim <= 25)"
      % (om / lm, op / lp, op))
PY
