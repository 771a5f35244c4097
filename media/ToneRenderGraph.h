#pragma once

#include <string>

#include "media/FileConversionGraph.h"

// Writes a copy of a song in another key and at another tempo (pitch kept) as a plain MP3
// stream like EncodeGraph's: a backing track prepared in the singer's key.
class ToneRenderGraph : public FileConversionGraph {
public:
    using MediaGraph::Build;
    // Builds source -> decoder -> key and tempo shifter -> MP3 encoder -> file. `semitones`
    // and `tempoPercent` must lie in the ranges of media/ToneStage.h. 0, or negative with
    // LastError set.
    int Build(const std::string& sourcePath, const std::string& outputPath, int semitones,
              int tempoPercent);
};
