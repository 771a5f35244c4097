// Pinyin of GBK and UTF-8 text under every option.
#include <cstdint>
#include <string_view>

#include "library/PinyinConverter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PinyinConverter converter;
    for (int options = -1; options < 8; ++options) {
        (void)converter.Convert(bytes, options);
    }
    (void)converter.ConvertUtf8(bytes, PinyinConverter::kWholeSyllables);
    return 0;
}
