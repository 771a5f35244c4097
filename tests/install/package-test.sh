#!/usr/bin/env bash
# package-test.sh BUILD_DIR: builds the Debian package from the build and checks its files and
# that its dependencies name the libraries the programs link and the plugins they load.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
packages=("$work"/vocalia_*.deb)
[[ ${#packages[@]} == 1 && -f ${packages[0]} ]] || fail "no single vocalia_*.deb"
deb=${packages[0]}

diff -u <(grep -v '^#' "$here/expected-files.txt" | sed 's|^|usr/|') \
    <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the package's files differ from expected-files.txt"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for wanted in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 \
    libgstreamer1.0-0 libgstreamer-plugins-base1.0-0 libges-1.0-0 libpulse0 libzip4 \
    gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-pulseaudio fluid-soundfont-gm; do
    grep -qxF "$wanted" <<<"$names" || fail "Depends lacks $wanted: $depends"
done
echo "$(basename "$deb"): $depends"
