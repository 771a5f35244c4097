#include "library/ui/PinyinInitial.h"

#include <cctype>

#include "library/PinyinConverter.h"

char PinyinInitial(const std::string& utf8) {
    // Option value 4: initials only, full-width letters and digits kept.
    const std::string latin =
        PinyinConverter().ConvertUtf8(utf8, PinyinConverter::kLettersAndDigitsOnly);
    return latin.empty() ? '\0'
                         : static_cast<char>(std::toupper(static_cast<unsigned char>(latin[0])));
}
