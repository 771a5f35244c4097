#pragma once

#include <string>

#include "media/FileConversionGraph.h"
#include "media/GaplessMp3.h"

// Encodes a WAV file (or any other audio the installed decoders read) into a plain MP3 stream:
// constant bit rate MPEG-1 layer III frames with no container and no tag, which every player
// reads and measures right, behind a header frame whose LAME tag lets decoders trim the
// encoder's lead-in and padding.
class EncodeGraph : public FileConversionGraph {
public:
    static constexpr int kBitrate = 128;

    using MediaGraph::Build;
    // Builds source -> decoder -> converter -> MP3 encoder -> file. 0, or negative with
    // LastError set.
    int Build(const std::string& sourcePath, const std::string& outputPath);
    // Encodes the whole file, then tags it. 0, or negative with LastError set.
    int Play() override;
    // Samples of one channel that went into the encoder.
    int64_t EncodedSamples() const { return m_gapless.samples(); }

protected:
    // Where a subclass puts its own elements between the decoded audio and the encoder; returns
    // the element the encoder follows, or null with LastError set. The base adds nothing.
    virtual GstElement* AddBeforeEncoder(GstElement* decoded) { return decoded; }
    // The encoder after `decoded`, counted for the tag, and the file sink after it. 0, or
    // negative with LastError set.
    int EncodeInto(GstElement* decoded, const std::string& outputPath);

private:
    GaplessMp3 m_gapless;
    std::string m_outputPath;
};
