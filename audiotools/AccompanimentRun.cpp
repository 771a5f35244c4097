#include "audiotools/AccompanimentRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "audiotools/AccompanimentNames.h"
#include "audiotools/VocalRemover.h"
#include "library/Mp3Info.h"
#include "media/DecodeGraph.h"
#include "media/EncodeGraph.h"
#include "resources/StringTable.h"
#include "shell/TextCodec.h"

namespace {

constexpr int kDecodingText = 52;
constexpr int kRemovingText = 53;
constexpr int kEncodingText = 54;
constexpr int kTaggingText = 55;
constexpr int kFinishedText = 56;

// Whether another process's run holds the lock on `path`.
bool lockedByAnotherRun(const std::string& path) {
    const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const bool locked = ::fcntl(file, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(file);
    return locked;
}

// The temporary WAV, created new for the run and locked against other processes' runs on the
// same input (an open-file-description lock, which the WAV mapping's own lock does not
// disturb). Removed when the run ends, however it ends. A file already under that name that no
// run holds is the user's: it is left alone and the run takes a unique name beside it.
class TemporaryWav {
public:
    explicit TemporaryWav(std::string path) : m_path(std::move(path)) {
        m_file = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (m_file < 0 && errno == EEXIST) {
            if (lockedByAnotherRun(m_path)) {
                m_error = "another run is working on it";
                return;
            }
            createUnique();
        }
        if (m_file < 0) {
            m_error = std::string("cannot create it (") + std::strerror(errno) + ")";
            return;
        }
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        ::fcntl(m_file, F_OFD_SETLK, &lock);  // the file is new: nobody else can hold it
    }
    ~TemporaryWav() {
        if (m_file >= 0) {
            std::remove(m_path.c_str());
            ::close(m_file);
        }
    }
    TemporaryWav(const TemporaryWav&) = delete;
    TemporaryWav& operator=(const TemporaryWav&) = delete;

    bool held() const { return m_file >= 0; }
    const std::string& path() const { return m_path; }
    const std::string& error() const { return m_error; }

private:
    void createUnique() {
        constexpr std::string_view kSuffix = ".wav";
        std::string pattern =
            m_path.substr(0, m_path.size() - kSuffix.size()) + ".XXXXXX" + std::string(kSuffix);
        m_file = ::mkostemps(pattern.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
        if (m_file >= 0) {
            ::fchmod(m_file, 0644);
            m_path = pattern;
        }
    }

    std::string m_path;
    int m_file = -1;
    std::string m_error;
};

// Makes a running conversion graph end with an error, as a failing element would.
void interrupt(MediaGraph& graph) {
    GstElement* pipeline = graph.Pipeline();
    if (pipeline == nullptr) {
        return;
    }
    GError* error = g_error_new_literal(GST_CORE_ERROR, GST_CORE_ERROR_FAILED,
                                        AccompanimentRun::kCancelledText);
    gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(pipeline), error, nullptr));
    g_error_free(error);
}

}  // namespace

void AccompanimentRun::Cancel() {
    const std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_runningGraph != nullptr) {
        interrupt(*m_runningGraph);
    }
}

bool AccompanimentRun::enterStep(int stringId) {
    if (cancelled()) {
        return false;
    }
    progress(stringId);
    return true;
}

bool AccompanimentRun::cancelled() {
    const std::lock_guard lock(m_mutex);
    return m_cancelled;
}

template <typename Graph>
std::string AccompanimentRun::convert(const std::string& source, const std::string& output) {
    Graph graph;
    if (graph.Build(source, output) < 0) {
        return graph.LastError();
    }
    {
        const std::lock_guard lock(m_mutex);
        if (m_cancelled) {
            return kCancelledText;
        }
        m_runningGraph = &graph;
    }
    const int played = graph.Play();
    const std::lock_guard lock(m_mutex);
    m_runningGraph = nullptr;
    if (m_cancelled) {
        return kCancelledText;
    }
    return played < 0 ? graph.LastError() : std::string();
}

AccompanimentJob accompanimentJobFor(const std::string& input) {
    AccompanimentJob job;
    job.input = input;
    job.output = AccompanimentNames::defaultOutput(input);
    const Mp3Info info(input);
    job.tag = {TextCodec::decodeStoredText(info.Title()),
               TextCodec::decodeStoredText(info.Artist()),
               TextCodec::decodeStoredText(info.Album()), TextCodec::decodeStoredText(info.Year()),
               TextCodec::decodeStoredText(info.Comment())};
    return job;
}

void AccompanimentRun::progress(int stringId) {
    m_observer.onProgress(stringId, loadString(stringId));
}

RunOutcome AccompanimentRun::Run(const AccompanimentJob& job) {
    if (job.input.empty() || job.output.empty()) {
        return {"no input song or no output file was given"};
    }
    const RunClaim claim({AccompanimentNames::temporaryWav(job.input), job.output});
    if (!claim.claimed()) {
        return {claim.busyPath() + ": another run is working on it"};
    }
    std::optional<TemporaryWav> wav(std::in_place, AccompanimentNames::temporaryWav(job.input));
    if (!wav->held()) {
        return {"temporary WAV " + wav->path() + ": " + wav->error()};
    }
    const std::string wavPath = wav->path();
    PendingOutput output(job.output);
    if (!output.created()) {
        return {job.output + ": cannot create the output (" + output.error() + ")"};
    }

    if (!enterStep(kDecodingText)) {
        return {kCancelledText};
    }
    if (std::string error = convert<DecodeGraph>(job.input, wavPath); !error.empty()) {
        return {cancelled() ? kCancelledText : "decoding " + job.input + " failed: " + error};
    }
    if (!enterStep(kRemovingText)) {
        return {kCancelledText};
    }
    std::string waveError;
    if (!VocalRemover().RemoveVocals(wavPath, job.passes, &waveError)) {
        return {"removing the voice from " + wavPath + " failed: not a usable WAV file (" +
                waveError + ")"};
    }
    if (!enterStep(kEncodingText)) {
        return {kCancelledText};
    }
    if (std::string error = convert<EncodeGraph>(wavPath, output.temporaryPath()); !error.empty()) {
        return {cancelled() ? kCancelledText : "encoding " + job.output + " failed: " + error};
    }
    wav.reset();
    if (!enterStep(kTaggingText)) {
        return {kCancelledText};
    }
    if (RunOutcome tagged = tagAndCommit(output, job.output, job.tag); !tagged.ok()) {
        return tagged;
    }
    progress(kFinishedText);
    return {};
}
