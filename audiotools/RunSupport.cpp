#include "audiotools/RunSupport.h"

#include <filesystem>
#include <mutex>
#include <set>

#include "library/Mp3Info.h"

RunOutcome tagAndCommit(PendingOutput& output, const std::string& outputPath, const TagTexts& tag) {
    Mp3Info info;
    info.SetAlbum(tag.album);
    info.SetArtist(tag.artist);
    info.SetComment(tag.comment);
    info.SetTitle(tag.title);
    info.SetYear(tag.year);
    if (!info.WriteTag(output.temporaryPath(), false)) {
        return {"tagging " + outputPath + " failed: cannot write the ID3v1 tag"};
    }
    if (!output.commit()) {
        return {"writing " + outputPath + " failed: " + output.error()};
    }
    return {};
}

namespace {

std::mutex claimsMutex;
std::set<std::string> claims;

// One spelling per file, whether given relative or absolute, existing or not.
std::string claimKey(const std::string& path) {
    std::error_code error;
    const auto canonical = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::absolute(path).lexically_normal().string() : canonical.string();
}

}  // namespace

RunClaim::RunClaim(const std::vector<std::string>& paths) {
    const std::lock_guard lock(claimsMutex);
    std::vector<std::string> keys;
    for (const std::string& path : paths) {
        const std::string key = claimKey(path);
        if (claims.count(key)) {
            m_busyPath = path;
            return;
        }
        keys.push_back(key);
    }
    for (const std::string& key : keys) {
        if (claims.insert(key).second) {
            m_keys.push_back(key);
        }
    }
}

RunClaim::~RunClaim() {
    const std::lock_guard lock(claimsMutex);
    for (const std::string& key : m_keys) {
        claims.erase(key);
    }
}
