// CD+G graphics streams decoded to the picture at a few play positions, forwards and back.
#include <cstdint>
#include <vector>

#include "media/cdg/CdgDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto decoder =
        CdgDecoder::OpenMemory(std::vector<std::uint8_t>(data, data + size), error);
    if (!decoder) {
        return 0;
    }
    for (const long long ms : {0LL, 10LL, 1000LL, 5LL, 1LL << 40, -1LL}) {
        (void)decoder->PictureAt(ms).ColorAt(CdgPicture::kWidth - 1, CdgPicture::kHeight - 1);
    }
    return 0;
}
