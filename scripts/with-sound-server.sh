#!/usr/bin/env bash
# Runs a command beside a private sound server (see sound-server.sh), then stops the server.
#   with-sound-server.sh COMMAND [ARGS...]      exits with the command's status
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
state=$(mktemp -d /tmp/vocalia-sound.XXXXXX)
cleanup() {
    "$root/scripts/sound-server.sh" stop "$state"
    rm -rf "$state"
}
trap cleanup EXIT
eval "$("$root/scripts/sound-server.sh" start "$state")"
"$@"
