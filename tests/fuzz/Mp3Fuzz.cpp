// The MP3 frame scan and the ID3v1 tag: read a file, write its tag back, parse the last block.
#include <cstdint>
#include <string_view>

#include "library/Id3v1Tag.h"
#include "library/Mp3Info.h"
#include "tests/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (size >= Id3v1Tag::kSize) {
        if (const auto tag = Id3v1Tag::parse(bytes.substr(size - Id3v1Tag::kSize))) {
            (void)Id3v1Tag::parse(tag->toBlock());
        }
    }
    const std::string& path = writeFuzzFile(data, size);
    Mp3Info info(path);
    info.WriteTag(path, false);
    info.Read(path);
    info.WriteTag(path, true);
    return 0;
}
