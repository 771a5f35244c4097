// The text codec: detection, decoding and the GBK round trip.
#include <cstdint>
#include <string_view>

#include "shell/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)TextCodec::isUtf8(bytes);
    const std::string text = TextCodec::decodeStoredText(bytes);
    if (!TextCodec::isUtf8(text)) {
        __builtin_trap();
    }
    (void)TextCodec::gbkToUtf8(TextCodec::utf8ToGbk(text));
    return 0;
}
