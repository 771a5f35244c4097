# Sourced by the sanitizer scripts after they set $root: sanitized_build DIR FLAGS TARGET...
# configures DIR as a RelWithDebInfo build with warnings as errors, compiled and linked with
# the sanitizer FLAGS, and builds the targets.
source "$root/scripts/compiler-cache.sh"
sanitized_build() {
    local build=$1 flags=$2
    shift 2
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCALIA_WERROR=ON \
        -DCMAKE_CXX_FLAGS="$flags -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
        "${launcher[@]}" >/dev/null
    cmake --build "$build" -j "$(nproc)" --target "$@"
}
