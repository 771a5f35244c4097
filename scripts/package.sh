#!/usr/bin/env bash
# Builds the Debian package from a Release build: build-release/vocalia_<version>_<arch>.deb
# (or in $VOCALIA_RELEASE_BUILD_DIR), its dependencies found by dpkg-shlibdeps.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VOCALIA_RELEASE_BUILD_DIR:-$root/build-release}
"$root/scripts/install-deps.sh"
"$root/scripts/release-build.sh"
(cd "$build" && cpack -G DEB)
