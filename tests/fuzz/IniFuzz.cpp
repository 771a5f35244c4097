// The INI document: parse, look up, change and write back what was parsed.
#include <cstdint>
#include <string_view>

#include "shell/IniDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniDocument document(bytes);
    const size_t half = size / 2;
    const std::string_view section = bytes.substr(0, half / 2);
    const std::string_view key = bytes.substr(half / 2, half - half / 2);
    (void)document.value(section, key);
    if (IniDocument::storableSection(section) && IniDocument::storableKey(key)) {
        document.set(section, key, "1");
        document.removeKey(section, key);
    }
    document.removeSection(section);
    const IniDocument reread(document.bytes());
    (void)reread.bytes();
    return 0;
}
