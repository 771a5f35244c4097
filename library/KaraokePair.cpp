#include "library/KaraokePair.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "library/ZipLibrary.h"

namespace {

// Larger entries are refused rather than read into memory (a real song is far smaller).
constexpr zip_uint64_t kMaxAudioBytes = 1ULL << 29;
constexpr zip_uint64_t kMaxGraphicsBytes = 1ULL << 26;

constexpr std::array<const char*, 5> kAudioExtensions = {".mp3", ".ogg", ".wav", ".flac", ".m4a"};

struct ArchiveCloser {
    const ZipLibrary* zip;
    void operator()(zip_t* archive) const { zip->discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    const ZipLibrary* zip;
    void operator()(zip_file_t* file) const { zip->closeEntry(file); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool isAudio(const std::string& path) {
    return std::any_of(kAudioExtensions.begin(), kAudioExtensions.end(),
                       [&](const char* e) { return KaraokePair::HasExtension(path, e); });
}

// The name without its extension, in lower case: the key two halves of a pair share.
std::string stemKey(const std::string& name) {
    const size_t dot = name.rfind('.');
    return lower(dot == std::string::npos ? name : name.substr(0, dot));
}

// The first file in `path`'s folder, other than `path`, with its stem and an extension that
// `wanted` accepts.
template <typename Wanted>
std::string partnerOf(const std::string& path, Wanted wanted) {
    namespace fs = std::filesystem;
    const fs::path self(path);
    const std::string key = stemKey(self.filename().string());
    std::error_code error;
    const fs::path folder = self.has_parent_path() ? self.parent_path() : fs::path(".");
    for (const auto& item : fs::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        if (name != self.filename().string() && stemKey(name) == key && wanted(name) &&
            item.is_regular_file(error)) {
            return (self.has_parent_path() ? item.path() : fs::path(name)).string();
        }
    }
    return {};
}

bool readEntry(const ZipLibrary& zip, zip_t* archive, zip_uint64_t index, zip_uint64_t limit,
               std::vector<std::uint8_t>& out, std::string& error) {
    zip_stat_t stat;
    if (zip.statIndex(archive, index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0) {
        error = "压缩包中的文件无法读取";
        return false;
    }
    if (stat.size > limit) {
        error = std::string("压缩包中的文件太大: ") + stat.name;
        return false;
    }
    const Entry file(zip.openEntry(archive, index, 0), EntryCloser{&zip});
    if (!file) {
        error = std::string("压缩包中的文件无法读取: ") + stat.name;
        return false;
    }
    out.resize(static_cast<size_t>(stat.size));
    const zip_int64_t got = zip.readEntry(file.get(), out.data(), stat.size);
    if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) {
        error = std::string("压缩包已损坏: ") + stat.name;
        out.clear();
        return false;
    }
    return true;
}

}  // namespace

namespace KaraokePair {

bool HasExtension(const std::string& path, const char* extension) {
    const std::string_view wanted(extension);
    return path.size() >= wanted.size() &&
           lower(path.substr(path.size() - wanted.size())) == wanted;
}

std::string GraphicsBeside(const std::string& audioPath) {
    return partnerOf(audioPath, [](const std::string& name) { return HasExtension(name, ".cdg"); });
}

std::string AudioBeside(const std::string& cdgPath) {
    return partnerOf(cdgPath, isAudio);
}

std::vector<std::string> SongFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> songs;
    std::vector<std::string> partners;
    for (const std::string& path : paths) {
        if (!HasExtension(path, ".cdg")) {
            songs.push_back(path);
            continue;
        }
        // The graphics file stands for its audio, once, unless that was chosen too.
        const std::string audio = AudioBeside(path);
        const auto named = [&](const std::vector<std::string>& list) {
            return std::find(list.begin(), list.end(), audio) != list.end();
        };
        if (!audio.empty() && !named(paths) && !named(partners)) {
            partners.push_back(audio);
            songs.push_back(audio);
        }
    }
    return songs;
}

bool ReadZip(const std::string& zipPath, ZipPair& pair, std::string& error, bool namesOnly) {
    pair = {};
    const ZipLibrary* zip = ZipLibrary::Get(error);
    if (!zip) {
        return false;
    }
    int code = 0;
    const Archive archive(zip->open(zipPath.c_str(), ZIP_RDONLY, &code), ArchiveCloser{zip});
    if (!archive) {
        error = "无法打开压缩包 " + zipPath + " (不是有效的zip文件)";
        return false;
    }
    std::optional<zip_uint64_t> audio;
    std::vector<std::pair<zip_uint64_t, std::string>> graphics;
    const zip_int64_t count = zip->entryCount(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip->entryName(archive.get(), static_cast<zip_uint64_t>(i), 0);
        const std::string name = raw == nullptr ? std::string() : raw;
        const std::string base = name.substr(name.find_last_of('/') + 1);
        if (base.empty()) {
            continue;  // a folder
        }
        if (isAudio(base)) {
            if (audio) {
                error = "压缩包 " + zipPath + " 中有不止一个音频文件";
                return false;
            }
            audio = static_cast<zip_uint64_t>(i);
            pair.audioName = base;
        } else if (HasExtension(base, ".cdg")) {
            graphics.emplace_back(static_cast<zip_uint64_t>(i), base);
        }
    }
    if (!audio) {
        error = "压缩包 " + zipPath + " 中没有音频文件";
        return false;
    }
    const auto match = std::find_if(graphics.begin(), graphics.end(), [&](const auto& g) {
        return stemKey(g.second) == stemKey(pair.audioName);
    });
    if (match == graphics.end()) {
        error = "压缩包 " + zipPath + " 中没有与 " + pair.audioName + " 同名的CDG文件";
        return false;
    }
    if (namesOnly) {
        return true;
    }
    return readEntry(*zip, archive.get(), *audio, kMaxAudioBytes, pair.audio, error) &&
           readEntry(*zip, archive.get(), match->first, kMaxGraphicsBytes, pair.graphics, error);
}

}  // namespace KaraokePair
