// The WAV header and the sample area, processed in place.
#include <cstdint>

#include "audiotools/VocalRemover.h"
#include "tests/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = writeFuzzFile(data, size);
    const int passes = size > 0 ? data[size - 1] % 24 - 2 : 0;
    VocalRemover().RemoveVocals(path, passes);
    return 0;
}
