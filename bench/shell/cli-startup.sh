#!/usr/bin/env bash
# Start-up cost of vocalia-cli: two do-nothing commands (`home` with a given folder, `split-name`)
# beside /bin/true and a bare Qt Core program, all whole processes started the same way, in
# interleaved rotated rounds. Prints each median, its cost over /bin/true and the libraries each
# program loads (aim: at most 2 ms over /bin/true).
# Usage: bench/shell/cli-startup.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-301}
source "$root/bench/process-rounds.sh"
cmake --build "$build" --target vocalia-cli bare_core >/dev/null
cli=$build/bin/vocalia-cli
bare=$build/bench/bare_core
home=$round_dir/home/
mkdir -p "$home"

run_true() { /bin/true; }
check_true() { [[ ! -s $round_out ]]; }
run_bare_qt_core() { "$bare"; }
check_bare_qt_core() { [[ $(<"$round_out") == 42 ]]; }
run_home() { "$cli" --home "$home" home; }
check_home() { [[ $(<"$round_out") == "$home" ]]; }
run_split_name() { "$cli" split-name "歌手 - 歌名"; }
check_split_name() { [[ $(<"$round_out") == '{"singer":"歌手","title":"歌名"}' ]]; }

contenders=(true bare_qt_core home split_name)
rounds_run 10 "${contenders[@]}"  # warm the page cache; not counted
rounds_run "$rounds" "${contenders[@]}"

echo "vocalia-cli $(sha256sum "$cli" | cut -c1-16), $rounds rounds, load average $(cut -d' ' -f1-3 /proc/loadavg)"
base=$(rounds_median true)
declare -A label=([true]="/bin/true" [bare_qt_core]="bare Qt Core program"
    [home]="vocalia-cli home" [split_name]="vocalia-cli split-name")
declare -A program=([true]=/bin/true [bare_qt_core]=$bare [home]=$cli [split_name]=$cli)
for name in "${contenders[@]}"; do
    median=$(rounds_median "$name")
    libraries=$(ldd "${program[$name]}" | grep -c '=>' || true)
    awk -v l="${label[$name]}" -v m="$median" -v b="$base" -v r="$(rounds_range "$name")" \
        -v n="$libraries" 'BEGIN {
        printf "%-24s median %6.2f ms  (%s)  +%5.2f ms over /bin/true  ratio %4.2f  %2d libraries\n",
               l, m / 1000, r, (m - b) / 1000, m / b, n }'
done
