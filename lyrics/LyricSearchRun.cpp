#include "lyrics/LyricSearchRun.h"

#include <filesystem>
#include <system_error>

#include "library/Mp3Info.h"
#include "lyrics/LyricLibrary.h"
#include "shell/AtomicFile.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"

namespace fs = std::filesystem;

LyricSearchJob lyricSearchJobFor(const std::string& keyword, bool alsoCustom) {
    return {keyword, LyricLibraryRoot(ProgramFolder::current()),
            alsoCustom ? readSetting(ConfigKey::LyricsCustomPath) : std::string()};
}

bool LyricSearchRun::Run(const LyricSearchJob& job, const std::atomic<bool>* stop) {
    if (job.keyword.empty()) {
        return true;
    }
    const auto onRow = [this](const LyricSearchRow& row) { m_observer.onRow(row); };
    return SearchFolder(job.libraryRoot, job.keyword, onRow, stop) &&
           SearchFolder(job.customFolder, job.keyword, onRow, stop);
}

namespace {

bool copyIntoLibrary(const std::string& source, const std::string& target) {
    std::error_code error;
    if (fs::exists(target, error)) {
        return false;
    }
    fs::create_directories(fs::path(target).parent_path(), error);
    std::string bytes;
    return readWholeFile(source, bytes) && writeFileAtomically(target, bytes);
}

bool tagSong(const std::string& songPath, const LyricSearchRow& row) {
    std::error_code error;
    if (songPath.empty() || !fs::is_regular_file(songPath, error)) {
        return false;
    }
    Mp3Info tag;
    tag.SetTitle(row.title);
    tag.SetArtist(row.singer);
    return tag.WriteTag(songPath, false);
}

}  // namespace

TakenLyric TakeFoundLyric(const std::string& programFolder, const LyricSearchRow& row,
                          const std::string& songPath) {
    const std::string target = LyricLibraryPath(programFolder, {row.singer, row.title});
    TakenLyric taken;
    taken.copied = copyIntoLibrary(row.path, target);
    taken.tagged = tagSong(songPath, row);
    return taken;
}
