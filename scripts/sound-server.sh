#!/usr/bin/env bash
# A private PulseAudio server for the tests: a null sink "out" as the speakers, a virtual
# microphone "mic" ("Microphone") fed through the null sink "micfeed", and a second input
# "line" ("Line In") fed through "linefeed".
#   sound-server.sh start DIR   prints the environment to export (XDG_RUNTIME_DIR, PULSE_SERVER)
#   sound-server.sh stop DIR
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?state folder}
run="$dir/run"

case "$cmd" in
start)
    mkdir -p "$run"
    chmod 700 "$run"
    cat >"$dir/test.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=out
load-module module-null-sink sink_name=micfeed
load-module module-remap-source source_name=mic master=micfeed.monitor source_properties=device.description=Microphone
load-module module-null-sink sink_name=linefeed
load-module module-remap-source source_name=line master=linefeed.monitor source_properties=device.description="Line\ In"
set-default-sink out
set-default-source mic
PA
    XDG_RUNTIME_DIR="$run" pulseaudio -D -n -F "$dir/test.pa" --exit-idle-time=-1 \
        --log-target="file:$dir/pa.log" >/dev/null 2>&1
    for _ in $(seq 50); do
        [[ -S "$run/pulse/native" ]] && break
        sleep 0.1
    done
    [[ -S "$run/pulse/native" ]] || { echo "sound server did not start; see $dir/pa.log" >&2; exit 1; }
    echo "export XDG_RUNTIME_DIR='$run' PULSE_SERVER='unix:$run/pulse/native'"
    ;;
stop)
    pidfile="$run/pulse/pid"
    [[ -f "$pidfile" ]] || exit 0
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null || exit 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || exit 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
