# Sourced by the build scripts after they set $root: compiles through ccache when it is
# installed, with paths taken relative to the checkout, so every clone shares one cache.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
fi
