#pragma once

#include <string>

#include "media/MediaGraph.h"

// Base of the graphs that convert one file into another inside one call: a file source with
// its decoder in front, a file sink at the end.
class FileConversionGraph : public MediaGraph {
public:
    // Runs the whole file through and stops; when it returns the output file is complete and
    // closed. 0 at the end of the stream, negative with LastError set on an error.
    int Play() override;

protected:
    // The file source and its decoder, then an audio converter and resampler. Returns the
    // resampler, which the caller links on, or null with LastError set. A graph with several
    // fronts tells them apart by `suffix`, added to the elements' names.
    GstElement* AddDecodingFront(const std::string& sourcePath, const std::string& suffix = {});
    // A file sink for `outputPath` (an existing file is replaced when the graph runs), linked
    // after `upstream`. 0, or negative with LastError set.
    int AddFileSink(GstElement* upstream, const std::string& outputPath);
    // Links a chain of elements already in the graph; negative with LastError set when a link
    // fails or an element is missing.
    int LinkChain(std::initializer_list<GstElement*> chain);
};
