#pragma once

#include "media/EncodeGraph.h"

// Decodes a song, removes its centre voice and encodes the rest into an MP3, all in one
// stream: the decoder and the removal run on one thread and hand their samples through a
// bounded queue to the encoder on another, so the steps overlap and no intermediate file is
// written.
class AccompanimentGraph : public EncodeGraph {
public:
    explicit AccompanimentGraph(int passes) : m_passes(passes) {}

    // Starts the stream and waits until the first samples have been through the removal into
    // the encoder (or the song turns out unreadable). 0, or negative with LastError set.
    int Preroll();

protected:
    GstElement* AddBeforeEncoder(GstElement* decoded) override;

private:
    int m_passes;
};
