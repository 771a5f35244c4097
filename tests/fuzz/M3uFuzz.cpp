// M3U and M3U8 playlists.
#include <cstdint>
#include <string_view>

#include "library/M3uPlaylist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)ParseM3u(std::string_view(reinterpret_cast<const char*>(data), size), "/music");
    return 0;
}
