// LRC lyrics, UTF-8 or GBK, and the tag head read for singer and title.
#include <cstdint>
#include <string_view>

#include "lyrics/LrcLyric.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    LrcLyric lyric;
    lyric.Parse(bytes);
    for (const int position : {-1, 0, 1000, 60000, 1 << 30}) {
        (void)lyric.FindCurrentLine(position, 0, -1);
    }
    (void)ReadTagHeadFromBytes(bytes);
    return 0;
}
