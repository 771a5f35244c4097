#pragma once

#include <ges/ges.h>

#include <cstdint>
#include <string>
#include <vector>

#include "media/GstHandles.h"
#include "media/MixRenderGraph.h"

// A voice recording and a background song, each clip on a layer of its own (the layers are
// summed as they are, with no gain). The mix plays on the default audio output, on an editing
// timeline made at the first preview, or is rendered into a plain MP3 stream whose LAME tag
// lets decoders trim the encoder's lead-in, so the music starts at its first sample. Clips
// accumulate until the object is replaced.
class MixTimeline {
public:
    MixTimeline();
    virtual ~MixTimeline();
    MixTimeline(const MixTimeline&) = delete;
    MixTimeline& operator=(const MixTimeline&) = delete;

    // The voice from `offsetMs` on for its whole length. A negative offset starts it at 0 with
    // its first |offsetMs| ms cut (nothing is added when that leaves nothing of it). 0, or
    // negative with LastError set when the file cannot be read.
    int AddVoice(const std::string& path, int64_t offsetMs);
    // The song from time 0 for its whole length. 0, or negative with LastError set.
    int AddMusic(const std::string& path);
    // Plays the mix on the default audio output and returns at once. 0, or negative with
    // LastError set.
    int Preview();
    // Stops a preview and discards its pipeline; nothing when none plays.
    void StopPreview();
    // Stops any preview and renders the whole mix (until the later clip ends) into `outputPath`
    // as MP3, replacing an existing file. Returns when the file is complete: 0, or negative
    // with LastError set.
    int SaveMp3(const std::string& outputPath);

    // Length of the mix in milliseconds (0 when the timeline cannot be made).
    int64_t DurationMs();
    const std::string& LastError() const { return m_lastError; }

private:
    int addClip(const std::string& path, int64_t offsetMs);
    // The editing timeline with every clip on it, made on first use; null with LastError set.
    GESTimeline* timeline();
    int placeOnTimeline(const MixRenderGraph::Clip& clip);
    // A fresh pipeline over the timeline; null with LastError set when it cannot be made.
    GstRef<GESPipeline> makePipeline();

    std::vector<MixRenderGraph::Clip> m_clips;
    GstRef<GESTimeline> m_timeline;
    GstRef<GESPipeline> m_preview;
    std::string m_lastError;
};
