#!/usr/bin/env bash
# What adding 1,000 MP3 files to the song list costs, measured two ways.
# 1. Whole processes: `vocalia-cli m3u-save OUT FILES...` (the song list's rules: each file's
#    name and length, as the add-files worker finds them) against `mediainfo` reading the same
#    files' lengths, in interleaved rounds (the order turns each round), medians, fresh output
#    names, and the lengths both report compared before any time counts.
# 2. In the window: `views_bench` adds the same number of files through the add-files worker
#    until the last row is in the list (offscreen platform), then times a lyric repaint.
# Usage: bench/views/add-mp3-vs-mediainfo.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-7}
cli=$build/bin/vocalia-cli
command -v mediainfo >/dev/null || { echo "mediainfo is not installed" >&2; exit 1; }
# The rounds helper removes its folder, and the work folder in it, at exit.
source "$root/bench/process-rounds.sh"
work=$round_dir/work
mkdir "$work"
export VOCALIA_BENCH_DIR=$work QT_QPA_PLATFORM=offscreen

# The window bench makes the files (about 5 s of sound each) under $work/mp3.
windowAdd=$("$build/bench/views_bench" --benchmark_filter=Add1000 --benchmark_format=csv \
    2>/dev/null | awk -F, '/BM_Add1000Mp3Files/ { print $3 }')
files=("$work"/mp3/*.mp3)
echo "input: ${#files[@]} MP3 files, checksum $(cat "${files[@]}" | md5sum | cut -c1-12)"

n=0
ours() { n=$((n + 1)); "$cli" m3u-save "$work/list$n.m3u" "${files[@]}"; }
peer() { mediainfo --Inform='General;%CompleteName%|%Duration%\n' "${files[@]}"; }

# The same length in whole seconds for every file, or the times mean nothing.
ours >/dev/null
tr -d "\r" <"$work/list$n.m3u" | awk '/^#EXTINF:/ { split(substr($0, 9), f, ","); len = f[1]; next }
     /^\// { print $0 "|" len }' | sort >"$work/ours.txt"
peer | awk -F'|' 'NF == 2 { printf "%s|%d\n", $1, int($2 / 1000) }' | sort >"$work/peer.txt"
if ! cmp -s "$work/ours.txt" "$work/peer.txt"; then
    echo "the lengths differ:" >&2
    diff "$work/ours.txt" "$work/peer.txt" | head >&2
    exit 1
fi
echo "both give the same length for all $(wc -l <"$work/ours.txt") files"

run_vocalia() { ours; }
check_vocalia() { [[ $(grep -c '^#EXTINF' "$work/list$n.m3u") == "${#files[@]}" ]]; }
run_mediainfo() { peer; }
check_mediainfo() { [[ $(grep -c '|' "$round_out") == "${#files[@]}" ]]; }
rounds_run "$rounds" vocalia mediainfo
echo "vocalia-cli m3u-save, 1,000 files: median $(($(rounds_median vocalia) / 1000)) ms"
echo "mediainfo, the same files:         median $(($(rounds_median mediainfo) / 1000)) ms"
awk -v a="$(rounds_median vocalia)" -v b="$(rounds_median mediainfo)" \
    'BEGIN { printf "ratio (ours / mediainfo): %.3f\n", a / b }'
echo "in the window, adding them through the worker: ${windowAdd} ms"
"$build/bench/views_bench" --benchmark_filter=Repaint
