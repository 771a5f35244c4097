#!/usr/bin/env bash
# install-test.sh BUILD_DIR: installs the build into a temporary prefix and checks that it holds
# exactly the expected files, that the desktop entry and the software-centre description
# validate, that the installed player finds its lyric editor, help and demo song there, and that
# the command-line tool's two programs find each other and the user's folder.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null
diff -u <(grep -v '^#' "$here/expected-files.txt") \
    <(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from expected-files.txt"
[[ $(readlink "$prefix/share/vocalia/Tools/Verslet") == ../../../bin/Verslet ]] ||
    fail "Tools/Verslet is not a relative link to bin/Verslet"

desktop-file-validate "$prefix/share/applications/org.example.vocalia.desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/org.example.vocalia.metainfo.xml"

# A user's run of the installed player: its folder is in the XDG data folder, not in the prefix.
export XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
unset VOCALIA_HOME
home=$XDG_DATA_HOME/Vocalia/
touch "$work/installed"
paths=$("$prefix/bin/Vocalia" --paths)
expected="folder: $home
tools: $prefix/bin/../share/vocalia/Tools/Verslet
help: $prefix/bin/../share/vocalia/Help/index.html"
[[ $paths == "$expected" ]] || fail "the installed player reports
$paths
instead of
$expected"

timeout 60 "$prefix/bin/Vocalia" --no-splash --quit-when-shown ||
    fail "the installed player did not start and end"
[[ -s "$home/Demo/星光小调.mid" && -s "$home/MyLyrics/Vocalia/星光小调.lrc" ]] ||
    fail "the installed player's first start gave no demo song in $home"
# The installed command-line tool: the core program and, for a media command, its media program
# in libexec/ use the same folder.
[[ $("$prefix/bin/vocalia-cli" home) == "$home" ]] ||
    fail "the installed vocalia-cli uses another folder"
mix=$("$prefix/bin/vocalia-cli" synthesize --music "$work/none.mp3" 2>&1) &&
    fail "a mix without a recording succeeded"
[[ $mix == *"${home}temp.mp3"* ]] ||
    fail "the installed media commands do not look for the recording in $home: $mix"
[[ -z $(find "$prefix" -newer "$work/installed") ]] ||
    fail "the installed player wrote into its prefix"
echo "installed and started from $prefix"
