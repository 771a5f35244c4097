#pragma once

#include <string>

#include "media/FileConversionGraph.h"

// Decodes a song (anything the installed decoders read) into a PCM WAV file: 16-bit stereo at
// the song's own rate, behind a bare 44-byte header. A mono song comes out as stereo with both
// channels alike.
class DecodeGraph : public FileConversionGraph {
public:
    using MediaGraph::Build;
    // Builds source -> decoder -> converter -> WAV writer -> file. 0, or negative with
    // LastError set.
    int Build(const std::string& sourcePath, const std::string& outputPath);
};
