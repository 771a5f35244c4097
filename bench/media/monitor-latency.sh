#!/usr/bin/env bash
# Delay of the live microphone monitor ("PhoneSet" defaults) from the virtual microphone to the
# speakers, beside the sound server's own module-loopback at latency_msec=20 and =5, on a
# private sound server in one run. A click goes into the microphone's feed; one recording
# holds the feed and the speakers side by side (so both ends share one clock), and the delay
# is the distance between the click's onsets in the two channels.
#   bench/media/monitor-latency.sh [CLICKS]      (needs a build in ./build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
clicks=${1:-5}
# Runs itself again beside a private sound server of its own.
if [[ -z "${VOCALIA_LATENCY_SERVER:-}" ]]; then
    exec "$root/scripts/with-sound-server.sh" env VOCALIA_LATENCY_SERVER=1 "$0" "$clicks"
fi
state=$(mktemp -d /tmp/vocalia-latency.XXXXXX)
trap 'rm -rf "$state"' EXIT
sox -n -r 44100 -c 1 -b 16 "$state/click.wav" synth 0.003 square 1000 pad 0.3 0.3

# Median delay in ms of the microphone-to-speaker route that the command $1 starts and $2
# stops. The recorder runs before the route starts: a recorder that attaches to the speakers'
# monitor while a client stream already plays there can see its two channels shifted by over
# 100 ms. It keeps the default 10 ms capture segments: the speakers' null sink runs at the
# lowest latency any of its streams asks for, so smaller ones would flatter every route.
measure() {
    local wav="$state/both.wav"
    gst-launch-1.0 -q -e interleave name=both ! audioconvert ! wavenc ! filesink location="$wav" \
        pulsesrc device=micfeed.monitor ! audio/x-raw,rate=44100,channels=1 ! both.sink_0 \
        pulsesrc device=out.monitor ! audio/x-raw,rate=44100,channels=1 ! both.sink_1 &
    local recorder=$!
    sleep 1
    "$1"
    sleep 1
    for _ in $(seq "$clicks"); do
        paplay --device=micfeed "$state/click.wav"
        sleep 0.4
    done
    "$2"
    kill -INT "$recorder"
    wait "$recorder" || true
    python3 - "$wav" <<'PY'
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
print("%.1f" % statistics.median(delays) if delays else "nan")
PY
}

home="$state/home"
mkdir -p "$home"
start_monitor() {
    "$build/bin/vocalia-cli" --home "$home" monitor --seconds $((clicks + 4)) >/dev/null &
    monitor=$!
}
stop_monitor() { wait "$monitor"; }
ours=$(measure start_monitor stop_monitor)

start_loopback() {
    module=$(pactl load-module module-loopback source=mic sink=out latency_msec="$loopback_ms")
}
stop_loopback() { pactl unload-module "$module"; }
loopback_ms=20
at20=$(measure start_loopback stop_loopback)
loopback_ms=5
at5=$(measure start_loopback stop_loopback)

echo "vocalia monitor (PhoneSet defaults): ${ours} ms"
echo "module-loopback latency_msec=20:     ${at20} ms"
echo "module-loopback latency_msec=5:      ${at5} ms"
python3 -c "import sys; o,a,b=map(float,sys.argv[1:]); print('ratio to loopback 20: %.2f (aim <= 1)' % (o/a)); print('ratio to loopback 5:  %.2f' % (o/b))" "$ours" "$at20" "$at5"
