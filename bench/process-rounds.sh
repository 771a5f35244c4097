# Sourced by the comparison scripts: times whole processes started from this shell, the same way
# for every contender, in interleaved rounds whose order rotates, and checks every run's output
# before its time counts.
#
# A contender NAME is two shell functions: run_NAME starts the process (its standard output and
# error are sent to "$round_out" and "$round_err"), check_NAME succeeds when that output is right.
# Times are taken with bash's $EPOCHREALTIME (microseconds, no process of its own).

round_dir=$(mktemp -d)
round_out=$round_dir/out
round_err=$round_dir/err
trap 'rm -rf "$round_dir"' EXIT

# rounds_run ROUNDS NAME...: ROUNDS rounds; round r starts with the r-th contender (modulo).
# Exits with a message when a run fails or its output is wrong.
rounds_run() {
    local rounds=$1 round i name start end
    shift
    local names=("$@")
    for name in "${names[@]}"; do : >"$round_dir/times.$name"; done
    for ((round = 0; round < rounds; round++)); do
        for ((i = 0; i < ${#names[@]}; i++)); do
            name=${names[(i + round) % ${#names[@]}]}
            start=${EPOCHREALTIME/./}
            "run_$name" >"$round_out" 2>"$round_err" || {
                echo "$name failed (round $round):" >&2
                cat "$round_err" >&2
                exit 1
            }
            end=${EPOCHREALTIME/./}
            "check_$name" || {
                echo "$name gave a wrong output (round $round):" >&2
                cat "$round_out" "$round_err" >&2
                exit 1
            }
            echo $((end - start)) >>"$round_dir/times.$name"
        done
    done
}

# rounds_median NAME: the median time of NAME's runs, in microseconds.
rounds_median() {
    sort -n "$round_dir/times.$1" | awk '{ t[NR] = $1 }
        END { print (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}

# rounds_range NAME: "min–max" of NAME's runs in milliseconds.
rounds_range() {
    sort -n "$round_dir/times.$1" | awk 'NR == 1 { lo = $1 } { hi = $1 }
        END { printf "%.2f–%.2f", lo / 1000, hi / 1000 }'
}
