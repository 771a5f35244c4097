#include "audiotools/SynthesizerRun.h"

#include "media/MixTimeline.h"
#include "resources/StringTable.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"

namespace {

constexpr int kSavingText = 66;
constexpr int kFinishedText = 56;
constexpr int kCommentText = 68;

}  // namespace

SynthesisJob synthesisDefaults(const std::string& music, const std::string& title) {
    const std::string folder = ProgramFolder::current();
    SynthesisJob job;
    job.voice = folder + ProgramFolder::RecordingFile;
    job.music = music;
    job.offsetMs = readSetting(ConfigKey::RecordBeginTime);
    job.output = folder + ProgramFolder::MixOutputFile;
    job.tag = {title.empty() ? "Title" : title, "Artist", "Album", "Year",
               loadString(kCommentText)};
    return job;
}

void SynthesizerRun::progress(int stringId) {
    m_observer.onProgress(stringId, loadString(stringId));
}

RunOutcome SynthesizerRun::Run(const SynthesisJob& job) {
    progress(kSavingText);
    if (job.voice.empty() && job.music.empty()) {
        return {"nothing to mix: neither a voice nor a music file was given"};
    }
    const RunClaim claim({job.output});
    if (!claim.claimed()) {
        return {job.output + ": another run is working on it"};
    }
    PendingOutput output(job.output);
    if (!output.created()) {
        return {job.output + ": cannot create the output (" + output.error() + ")"};
    }
    // Each save starts from an empty timeline, so clips of an earlier preview are not mixed in
    // twice.
    MixTimeline timeline;
    if (!job.voice.empty() && timeline.AddVoice(job.voice, job.offsetMs) < 0) {
        return {"adding the voice failed: " + timeline.LastError()};
    }
    if (!job.music.empty() && timeline.AddMusic(job.music) < 0) {
        return {"adding the music failed: " + timeline.LastError()};
    }
    if (timeline.SaveMp3(output.temporaryPath()) < 0) {
        return {"saving " + job.output + " failed: " + timeline.LastError()};
    }
    if (RunOutcome tagged = tagAndCommit(output, job.output, job.tag); !tagged.ok()) {
        return tagged;
    }
    progress(kFinishedText);
    return {};
}
