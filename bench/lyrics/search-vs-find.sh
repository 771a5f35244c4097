#!/usr/bin/env bash
# `vocalia-cli lyric-search KEY` over a library of 20,000 LRC files in 1,000 singer folders,
# against `find LIBRARY -name '*KEY*.lrc'` on the same tree: whole processes in interleaved rounds
# (the order turns each round), the tree in the page cache for both, medians, and the files each
# found compared before any time counts.
# Usage: bench/lyrics/search-vs-find.sh [BUILD_DIR] [KEY] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
key=${2:-77}
rounds=${3:-9}
cli=$build/bin/vocalia-cli
# The rounds helper removes its folder, and the work folder in it, at exit.
source "$root/bench/process-rounds.sh"
work=$round_dir/work
mkdir "$work"
library=$work/home/MyLyrics
for ((s = 0; s < 1000; ++s)); do
    mkdir -p "$library/Singer $s"
    for ((t = 0; t < 20; ++t)); do
        n=$((s * 20 + t))
        printf '[ar:Singer %d]\r\n[ti:Title %d]\r\n[00:01.00]la\r\n' "$s" "$n" \
            >"$library/Singer $s/Title $n.lrc"
    done
done
echo "library: $(find "$library" -name '*.lrc' | wc -l) files, names checksum" \
    "$(cd "$library" && find . -name '*.lrc' | sort | md5sum | cut -c1-12)"

ours() { "$cli" --home "$work/home" lyric-search "$key"; }
peer() { find "$library" -name "*$key*.lrc"; }

# Both must find the same files before their times mean anything.
ours | grep -o '"path":"[^"]*"' | sed 's/"path":"//; s/"$//' | sort >"$work/ours.txt"
peer | sort >"$work/peer.txt"
if ! cmp -s "$work/ours.txt" "$work/peer.txt"; then
    echo "the search and find list different files:" >&2
    diff "$work/ours.txt" "$work/peer.txt" | head >&2
    exit 1
fi
echo "both find $(wc -l <"$work/ours.txt") files"

run_search() { ours; }
check_search() { [[ $(grep -o '"path":' "$round_out" | wc -l) == $(wc -l <"$work/peer.txt") ]]; }
run_find() { peer; }
check_find() { cmp -s <(sort "$round_out") "$work/peer.txt"; }
rounds_run 1 search find  # warm-up, not counted
rounds_run "$rounds" search find
echo "vocalia-cli lyric-search: median $(rounds_median search) us ($(rounds_range search) ms)"
echo "find:                     median $(rounds_median find) us ($(rounds_range find) ms)"
awk -v a="$(rounds_median search)" -v b="$(rounds_median find)" \
    'BEGIN { printf "ratio (search / find): %.2f  (aim: at most 2)\n", a / b }'
