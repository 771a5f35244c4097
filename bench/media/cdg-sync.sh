#!/usr/bin/env bash
# CD+G sync: the graphics frame the player shows at an audio position (its decoder, through
# `vocalia-cli cdg`) against the frame FFmpeg's own decoder gives at that time (the last frame
# it decodes at or before it), for 20 positions of a generated one-minute test disc.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${VOCALIA_BUILD_DIR:-$root/build}
cmake --build "$build" --target make_cdg_disc vocalia-cli >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
disc=$work/disc.cdg
"$build/bench/make_cdg_disc" "$disc" 60
echo "disc: $(stat -c %s "$disc") bytes, sha256 $(sha256sum "$disc" | cut -d' ' -f1)"

frame_bytes=$((300 * 216 * 3))
matches=0
total_ours=0
total_peer=0
for i in $(seq 1 20); do
    # Spread over the minute, off the 10 ms grid so positions fall between packets too.
    ms=$((i * 2963 - 1400))
    seconds=$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))
    start=$(date +%s%N)
    "$build/bin/vocalia-cli" cdg "$disc" --at "$ms" -o "$work/ours.png"
    middle=$(date +%s%N)
    ffmpeg -v error -i "$disc" -vf "select=lte(t\,$seconds)" -fps_mode passthrough \
        -f rawvideo -pix_fmt rgb24 - | tail -c "$frame_bytes" >"$work/peer.rgb"
    end=$(date +%s%N)
    ffmpeg -v error -i "$work/ours.png" -f rawvideo -pix_fmt rgb24 - >"$work/ours.rgb"
    total_ours=$((total_ours + middle - start))
    total_peer=$((total_peer + end - middle))
    if [ "$(stat -c %s "$work/peer.rgb")" -eq "$frame_bytes" ] && cmp -s "$work/ours.rgb" "$work/peer.rgb"; then
        matches=$((matches + 1))
        echo "  ${ms} ms: match"
    else
        echo "  ${ms} ms: DIFFERENT"
    fi
done
echo "matches: $matches/20"
echo "time per frame: vocalia-cli $((total_ours / 20000000)) ms, ffmpeg $((total_peer / 20000000)) ms"
[ "$matches" -eq 20 ]
