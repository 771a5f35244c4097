#include "library/Id3v1Tag.h"

#include <algorithm>

#include "library/FileHandle.h"
#include "shell/TextCodec.h"

namespace {

std::string field(std::string_view block, size_t offset, size_t length) {
    const std::string_view bytes = block.substr(offset, length);
    return std::string(bytes.substr(0, bytes.find('\0')));
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// At most `limit` bytes of GBK text, never ending inside a double-byte character.
std::string_view gbkPrefix(std::string_view gbk, size_t limit) {
    size_t end = 0;
    while (end < gbk.size()) {
        const size_t length =
            (static_cast<unsigned char>(gbk[end]) >= 0x81 && end + 1 < gbk.size()) ? 2 : 1;
        if (end + length > limit) {
            break;
        }
        end += length;
    }
    return gbk.substr(0, end);
}

void put(std::string& block, size_t offset, size_t limit, const std::string& text) {
    const std::string gbk =
        (!isAscii(text) && TextCodec::isUtf8(text)) ? TextCodec::utf8ToGbk(text) : text;
    const std::string_view kept = gbkPrefix(gbk, limit);
    block.replace(offset, kept.size(), kept);
}

}  // namespace

std::optional<Id3v1Tag> Id3v1Tag::parse(std::string_view block) {
    if (block.size() < kSize || !block.starts_with("TAG")) {
        return std::nullopt;
    }
    Id3v1Tag tag;
    tag.title = field(block, 3, 30);
    tag.artist = field(block, 33, 30);
    tag.album = field(block, 63, 30);
    tag.year = field(block, 93, 4);
    if (block[125] != 0) {
        tag.comment = field(block, 97, 30);
    } else {
        tag.comment = field(block, 97, 28);
        tag.track = static_cast<unsigned char>(block[126]);
    }
    tag.genre = static_cast<unsigned char>(block[127]);
    return tag;
}

std::optional<Id3v1Tag> Id3v1Tag::readFrom(const FileHandle& file) {
    const off_t size = file.size();
    if (size < static_cast<off_t>(kSize)) {
        return std::nullopt;
    }
    char block[kSize];
    if (file.readAt(size - static_cast<off_t>(kSize), block, kSize) != kSize) {
        return std::nullopt;
    }
    return parse(std::string_view(block, kSize));
}

bool hasId3v1Tag(const FileHandle& file) {
    return Id3v1Tag::readFrom(file).has_value();
}

std::string Id3v1Tag::toBlock() const {
    std::string block(kSize, '\0');
    block.replace(0, 3, "TAG");
    put(block, 3, 30, title);
    put(block, 33, 30, artist);
    put(block, 63, 30, album);
    put(block, 93, 4, year);
    put(block, 97, track != 0 ? 28 : 30, comment);
    if (track != 0) {
        block[126] = static_cast<char>(std::clamp(track, 0, 255));
    }
    block[127] = static_cast<char>(genre & 0xFF);
    return block;
}
