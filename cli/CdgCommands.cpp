// The CD+G graphics of MP3+G songs: FFmpeg's decoder, no media graph.

#include <iostream>
#include <memory>

#include "cli/CliCommand.h"
#include "library/KaraokePair.h"
#include "media/cdg/CdgDecoder.h"
#include "media/cdg/CdgImage.h"

namespace {

// The graphics of a .cdg file, or of the pair in a zip archive.
std::unique_ptr<CdgDecoder> openGraphics(const std::string& path) {
    std::string error;
    std::unique_ptr<CdgDecoder> decoder;
    if (KaraokePair::HasExtension(path, ".zip")) {
        KaraokePair::ZipPair pair;
        if (!KaraokePair::ReadZip(path, pair, error)) {
            throw CliFailure(error);
        }
        decoder = CdgDecoder::OpenMemory(std::move(pair.graphics), error);
    } else {
        decoder = CdgDecoder::OpenFile(path, error);
    }
    if (!decoder) {
        throw CliFailure(error);
    }
    return decoder;
}

int cdg(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--at", "-o"}, {});
    args.expectPositionals(1, 1);
    const long long at = args.number("--at", 0);
    if (at < 0) {
        throw CliUsageError("--at must not be negative");
    }
    const std::optional<std::string> output = args.value("-o");
    if (!output) {
        throw CliUsageError("missing -o FRAME.png");
    }
    const std::unique_ptr<CdgDecoder> decoder = openGraphics(args.positional(0, "FILE"));
    std::string error;
    if (!WriteCdgPng(decoder->PictureAt(at), *output, error)) {
        throw CliFailure(*output + ": " + error);
    }
    return 0;
}

const CliRegistration kCdg({"cdg", "FILE.cdg|FILE.zip --at MS -o FRAME.png",
                            "write the CD+G graphics frame shown at MS as a 300x216 PNG", cdg});

}  // namespace
