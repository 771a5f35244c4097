#pragma once

#include <string>
#include <string_view>

// Stored text (INI, LRC, M3U, ID3v1) comes as UTF-8 or, from older files, as GBK. Everything
// inside the program is UTF-8; these functions are the one place that converts.
namespace TextCodec {

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF).
bool isUtf8(std::string_view bytes);

// Stored bytes to UTF-8: valid UTF-8 is taken as it is (a leading byte-order mark dropped),
// anything else is decoded as GB18030 (a superset of GBK). Unmarked bytes that are both
// well-formed UTF-8 and GB2312 Chinese, and read as UTF-8 only as scattered two-byte letters,
// are GBK ("小猫" stored as GBK). Undecodable bytes become U+FFFD.
std::string decodeStoredText(std::string_view bytes);

// GB18030/GBK bytes to UTF-8; undecodable bytes become U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

// UTF-8 to GBK; characters GBK cannot hold become '?'. Malformed input bytes become '?' too.
std::string utf8ToGbk(std::string_view utf8);

}  // namespace TextCodec
