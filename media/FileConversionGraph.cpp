#include "media/FileConversionGraph.h"

#include <sys/stat.h>

#include "media/DecoderChoice.h"

int FileConversionGraph::Play() {
    return RunToCompletion();
}

GstElement* FileConversionGraph::AddDecodingFront(const std::string& sourcePath,
                                                  const std::string& suffix) {
    // filesrc would accept a folder and fail later with a vaguer message.
    struct stat info {};
    if (::stat(sourcePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        SetLastError("no such file");
        return nullptr;
    }
    GstElement* source = AddFilter("filesrc", ("Source" + suffix).c_str());
    GstElement* decoder = AddFilter("decodebin", ("Decoder" + suffix).c_str());
    GstElement* convert = AddFilter("audioconvert", ("Convert" + suffix).c_str());
    GstElement* resample = AddFilter("audioresample", ("Resample" + suffix).c_str());
    if (!source || !decoder || !convert || !resample) {
        SetLastError("a decoding component is not installed");
        return nullptr;
    }
    g_object_set(source, "location", sourcePath.c_str(), nullptr);
    g_signal_connect(decoder, "autoplug-select", G_CALLBACK(preferMpg123), nullptr);
    if (LinkChain({source, decoder}) < 0 || ConnectFilters(decoder, convert) < 0 ||
        LinkChain({convert, resample}) < 0) {
        return nullptr;
    }
    return resample;
}

int FileConversionGraph::AddFileSink(GstElement* upstream, const std::string& outputPath) {
    GstElement* sink = AddFilter("filesink", "File Writer");
    if (!sink) {
        SetLastError("the file writer is not installed");
        return kFailed;
    }
    g_object_set(sink, "location", outputPath.c_str(), nullptr);
    return LinkChain({upstream, sink});
}

int FileConversionGraph::LinkChain(std::initializer_list<GstElement*> chain) {
    GstElement* previous = nullptr;
    for (GstElement* element : chain) {
        if (!element) {
            SetLastError("a component of the graph is missing");
            return kFailed;
        }
        if (previous && !gst_element_link(previous, element)) {
            SetLastError(std::string("cannot connect ") + GST_OBJECT_NAME(previous) + " to " +
                         GST_OBJECT_NAME(element));
            return kFailed;
        }
        previous = element;
    }
    return 0;
}
