#!/usr/bin/env bash
# bus-test.sh BUILD_DIR, run on a private session bus (dbus-run-session): a second start hands
# its songs to the running player and ends; the player answers as an MPRIS media player
# (playerctl) and announces its changes; without a session bus a start is a player of its own.
set -euo pipefail
build=$(cd "$1" && pwd)
player=$build/bin/Vocalia
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to 20 s for a command to succeed.
await() {
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "gave up waiting: $what"
}

# Waits up to 20 s for the player's answer to a playerctl command to be as expected.
expect() {
    local expected=$1
    shift
    for _ in $(seq 200); do
        [[ $(playerctl -p vocalia "$@" 2>/dev/null) == "$expected" ]] && return 0
        sleep 0.1
    done
    fail "playerctl $* answers '$(playerctl -p vocalia "$@" 2>&1)', not '$expected'"
}

export QT_QPA_PLATFORM=offscreen
export VOCALIA_HOME=$work/home/
mkdir -p "$VOCALIA_HOME" "$work/songs"
# A known user: no demo song, no tip of the day.
printf '[App]\nEverydayTip=0\n' >"$VOCALIA_HOME/OrvMelodeck.ini"
: >"$VOCALIA_HOME/OrvMusicList0.m3u"
for song in first second; do
    sox -q -n -r 8000 -c 1 "$work/songs/$song.wav" synth 30 sine 440 vol 0.05
done

dbus-monitor --session "type='signal',interface='org.freedesktop.DBus.Properties'" \
    >"$work/signals" 2>/dev/null &
pids+=($!)

"$player" --no-splash &
first=$!
pids+=("$first")
await "the player on the bus" playerctl -p vocalia status

# A second start, as a file manager makes it, with a relative path.
(cd "$work/songs" && timeout 20 "$player" first.wav "$work/songs/second.wav") ||
    fail "the second start did not end with 0"
kill -0 "$first" || fail "the first player ended"
expect Playing status
expect "file://$work/songs/first.wav" metadata xesam:url
expect first metadata xesam:title

playerctl -p vocalia pause
expect Paused status
playerctl -p vocalia play
expect Playing status
# Whole seconds of a playerctl answer in seconds or microseconds.
seconds() { playerctl -p vocalia "$@" | awk '{ v = $1 > 1000 ? $1 / 1e6 : $1; print int(v + 0.5) }'; }
[[ $(seconds metadata mpris:length) == 30 ]] || fail "length $(seconds metadata mpris:length) s"
playerctl -p vocalia position 10
await "position 10 s after SetPosition" bash -c "(( \$(playerctl -p vocalia position | cut -d. -f1) >= 10 ))"
playerctl -p vocalia position 8+
await "position 18 s after Seek" bash -c "(( \$(playerctl -p vocalia position | cut -d. -f1) >= 18 ))"
playerctl -p vocalia volume 0.5
await "volume 0.5" bash -c '[[ $(printf "%.2f" "$(playerctl -p vocalia volume)") == 0.50 ]]'
playerctl -p vocalia next
expect "file://$work/songs/second.wav" metadata xesam:url
playerctl -p vocalia previous
expect "file://$work/songs/first.wav" metadata xesam:url
playerctl -p vocalia stop
expect Stopped status

grep -q '"Paused"' "$work/signals" || fail "no PropertiesChanged with Paused"
grep -q 'second.wav' "$work/signals" || fail "no PropertiesChanged with the next song"

# Quitting over the bus saves the category that took the songs.
dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.vocalia \
    /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit
await "the player to end" bash -c "! kill -0 $first"
wait "$first" || fail "the player ended with $?"
grep -q "$work/songs/first.wav" "$VOCALIA_HOME/OrvMusicList0.m3u" &&
    grep -q "$work/songs/second.wav" "$VOCALIA_HOME/OrvMusicList0.m3u" ||
    fail "the category does not hold the handed-over songs"

# Without a session bus the player starts as ever.
rm "$VOCALIA_HOME/OrvMelodeck.ini"
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus "$player" --no-splash "$work/songs/first.wav" &
alone=$!
pids+=("$alone")
await "the player without a bus to write its settings" test -s "$VOCALIA_HOME/OrvMelodeck.ini"
sleep 1
kill -0 "$alone" || fail "the player without a bus ended"
echo "bus checks passed"
