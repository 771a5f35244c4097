#include "playback/KaraokeSong.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "library/KaraokePair.h"
#include "shell/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

// The process that wrote a copy: its name starts with the process id.
bool writerIsGone(const std::string& name) {
    char* end = nullptr;
    const long pid = std::strtol(name.c_str(), &end, 10);
    return end == name.c_str() || *end != '-' || pid <= 0 ||
           (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

std::string copyName(const std::string& audioName) {
    static std::atomic<unsigned> counter{0};
    const size_t dot = audioName.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : audioName.substr(dot);
    return std::to_string(getpid()) + '-' + std::to_string(++counter) + extension;
}

}  // namespace

KaraokeSong::~KaraokeSong() {
    if (m_ownsAudio) {
        std::error_code ignored;
        fs::remove(m_audioPath, ignored);
    }
}

std::string KaraokeSong::PrivateFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string base =
        runtime != nullptr && *runtime != '\0'
            ? std::string(runtime)
            : QDir::tempPath().toStdString() + "/vocalia-" + std::to_string(getuid());
    return base + "/vocalia-songs/";
}

void KaraokeSong::RemoveStaleCopies() {
    std::error_code error;
    for (const auto& item : fs::directory_iterator(PrivateFolder(), error)) {
        if (writerIsGone(item.path().filename().string())) {
            fs::remove(item.path(), error);
        }
    }
}

std::unique_ptr<KaraokeSong> KaraokeSong::Open(const std::string& path, std::string& error) {
    std::unique_ptr<KaraokeSong> song(new KaraokeSong());
    if (KaraokePair::HasExtension(path, ".zip")) {
        return song->openZip(path, error) ? std::move(song) : nullptr;
    }
    song->m_audioPath = path;
    const std::string graphics = KaraokePair::GraphicsBeside(path);
    if (!graphics.empty()) {
        std::string ignored;
        song->m_graphics = CdgDecoder::OpenFile(graphics, ignored);
    }
    return song;
}

bool KaraokeSong::openZip(const std::string& path, std::string& error) {
    KaraokePair::ZipPair pair;
    if (!KaraokePair::ReadZip(path, pair, error)) {
        return false;
    }
    m_graphics = CdgDecoder::OpenMemory(std::move(pair.graphics), error);
    if (!m_graphics) {
        error = path + ": " + error;
        return false;
    }
    const std::string folder = PrivateFolder();
    std::error_code made;
    fs::create_directories(folder, made);
    fs::permissions(folder, fs::perms::owner_all, made);
    m_audioPath = folder + copyName(pair.audioName);
    const std::string_view bytes(reinterpret_cast<const char*>(pair.audio.data()),
                                 pair.audio.size());
    if (!writeFileAtomically(m_audioPath, bytes, &error)) {
        error = path + ": " + error;
        return false;
    }
    m_ownsAudio = true;
    return true;
}
