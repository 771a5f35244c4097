#pragma once

#include <gst/gst.h>

#include <string>
#include <vector>

#include "media/EncodeGraph.h"

// Renders a mix into a plain MP3 stream without the editing services: each file is decoded on
// a branch of its own, placed on the mix's time through its segment, and the branches are
// summed as they are (no gain) and encoded once. The mix lasts until the later clip ends.
class MixRenderGraph : public EncodeGraph {
public:
    // A file placed at `start` on the mix's time, from `inpoint` in the file to its end.
    struct Clip {
        std::string path;
        GstClockTime start = 0;
        GstClockTime inpoint = 0;
    };

    using EncodeGraph::Build;
    // 0, or negative with LastError set.
    int Build(const std::vector<Clip>& clips, const std::string& outputPath);
    // Renders and tags the file. 0, or negative with LastError set (naming the file that
    // cannot be read, when that is the cause).
    int Play() override;

private:
    // What the elements of the clip at `index` have at the end of their names.
    static std::string branchSuffix(size_t index);
    // The clip's decoded sound at the mix's rate and layout, shifted onto the mix's time;
    // null with LastError set.
    GstElement* addClipBranch(const Clip& clip, size_t index);
    // The first clip whose decoder found no sound in its file; null when every one did.
    const Clip* unreadableClip() const;

    std::vector<Clip> m_clips;
};
