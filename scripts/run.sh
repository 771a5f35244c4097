#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "${VOCALIA_BUILD_DIR:-$root/build}/bin/Vocalia" "$@"
