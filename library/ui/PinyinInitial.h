#pragma once

#include <string>

// The upper-case first letter of a row text's pinyin spelling (the GBK-to-pinyin conversion
// with option value 4), or 0 when the text gives none.
char PinyinInitial(const std::string& utf8);
