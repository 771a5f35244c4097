#include "library/LameTag.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "shell/AtomicFile.h"

namespace {

constexpr std::string_view kEncoderName = "LAME3.100";
constexpr size_t kXingFieldsLength =
    4 + 4 + 4 + 4 + 100 + 4;  // id, flags, frames, bytes, TOC, quality
constexpr size_t kLameLength = 36;
constexpr size_t kVbriOffset = 36;
constexpr uint32_t kAllXingFields = 0xF;

// kbit/s by bitrate index: MPEG-1 Layer III; MPEG-2/2.5 Layer III.
constexpr std::array<std::array<int, 15>, 2> kBitrates{{
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};
// Hz by sample-rate index: MPEG-1; MPEG-2 (MPEG-2.5 halves it).
constexpr std::array<std::array<int, 3>, 2> kSampleRates{
    {{44100, 48000, 32000}, {22050, 24000, 16000}}};

uint32_t bigEndian32(std::string_view bytes, size_t at) {
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) {
        word = (word << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return word;
}

void putBigEndian(std::string& bytes, size_t at, uint32_t value, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * (length - 1 - i)));
    }
}

// The frame header of MPEG Layer III audio, the one layer that carries header frames.
struct Layer3Header {
    uint32_t word = 0;
    bool mpeg1 = false;
    int bitrate = 0;  // kbit/s
    int sampleRate = 0;

    static std::optional<Layer3Header> parse(std::string_view bytes, size_t at) {
        if (at + 4 > bytes.size()) {
            return std::nullopt;
        }
        return fromWord(bigEndian32(bytes, at));
    }

    static std::optional<Layer3Header> fromWord(uint32_t word) {
        Layer3Header header;
        header.word = word;
        const unsigned version = (header.word >> 19) & 3;
        const unsigned bitrateIndex = (header.word >> 12) & 15;
        const unsigned rateIndex = (header.word >> 10) & 3;
        if ((header.word & 0xFFE00000u) != 0xFFE00000u || version == 1 ||
            ((header.word >> 17) & 3) != 1 || bitrateIndex == 0 || bitrateIndex == 15 ||
            rateIndex == 3) {
            return std::nullopt;
        }
        header.mpeg1 = version == 3;
        header.bitrate = kBitrates[header.mpeg1 ? 0 : 1][bitrateIndex];
        header.sampleRate = kSampleRates[header.mpeg1 ? 0 : 1][rateIndex] / (version == 0 ? 2 : 1);
        return header;
    }

    unsigned bitrateIndex() const { return (word >> 12) & 15; }
    int samples() const { return mpeg1 ? 1152 : 576; }
    size_t length() const {
        const int padding = static_cast<int>((word >> 9) & 1);
        const int bytes = (mpeg1 ? 144000 : 72000) * bitrate / sampleRate + padding;
        return static_cast<size_t>(bytes);
    }
    // Where the frame's data begins, after the header, its checksum and the side information.
    size_t dataOffset() const {
        const bool mono = ((word >> 6) & 3) == 3;
        const bool checksum = ((word >> 16) & 1) == 0;
        return 4 + (checksum ? 2 : 0) + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    }
};

// The offset of the "Xing" or "Info" text in `frame`, when it is such a frame.
std::optional<size_t> xingOffset(std::string_view frame) {
    const auto header = Layer3Header::parse(frame, 0);
    if (!header) {
        return std::nullopt;
    }
    const size_t at = header->dataOffset();
    if (at + 8 > frame.size()) {
        return std::nullopt;
    }
    const std::string_view id = frame.substr(at, 4);
    return id == "Xing" || id == "Info" ? std::optional<size_t>(at) : std::nullopt;
}

// The checksum LAME's tag uses (CRC-16, polynomial 0x8005, reflected).
uint16_t crc16(std::string_view bytes, uint16_t crc = 0) {
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
    }
    return crc;
}

// The sound frames of a file: where each starts, and where the last ends.
struct FrameRun {
    std::vector<size_t> starts;
    size_t end = 0;
    bool constantBitrate = true;
};

FrameRun walkFrames(std::string_view bytes, size_t from, const Layer3Header& first) {
    FrameRun run;
    size_t pos = from;
    while (const auto header = Layer3Header::parse(bytes, pos)) {
        if (pos + header->length() > bytes.size()) {
            break;
        }
        run.constantBitrate = run.constantBitrate && header->bitrate == first.bitrate;
        run.starts.push_back(pos);
        pos += header->length();
    }
    run.end = pos;
    return run;
}

// An Info (or, for varying bitrates, Xing) frame in the format of `like` that describes `run`.
std::string headerFrame(Layer3Header like, const FrameRun& run, LameTag::Gap gap,
                        std::string_view music) {
    // Padding bit off, no checksum; the lowest bitrate at least as high whose frame holds it all.
    like.word = (like.word & ~0x200u) | 0x10000u;
    const size_t room = like.dataOffset() + kXingFieldsLength + kLameLength;
    while (like.length() < room && like.bitrateIndex() < 14) {
        like = *Layer3Header::fromWord(like.word + 0x1000u);
    }
    std::string frame(like.length(), '\0');
    putBigEndian(frame, 0, like.word, 4);
    const size_t xing = like.dataOffset();
    frame.replace(xing, 4, run.constantBitrate ? "Info" : "Xing");
    const auto bytes = static_cast<uint32_t>(frame.size() + music.size());
    putBigEndian(frame, xing + 4, kAllXingFields, 4);
    putBigEndian(frame, xing + 8, static_cast<uint32_t>(run.starts.size()), 4);
    putBigEndian(frame, xing + 12, bytes, 4);
    // Seek table: the file position, in 256ths, at each hundredth of the frames.
    const size_t first = run.starts.front();
    for (size_t i = 0; i < 100; ++i) {
        const size_t at = run.starts[i * run.starts.size() / 100] - first + frame.size();
        frame[xing + 16 + i] = static_cast<char>(at * 256 / bytes);
    }
    const size_t lame = xing + kXingFieldsLength;
    frame.replace(lame, kEncoderName.size(), kEncoderName);
    frame[lame + 9] = run.constantBitrate ? 1 : 0;  // the bitrate method: constant, unknown
    frame[lame + 20] = static_cast<char>(std::min(like.bitrate, 255));
    putBigEndian(frame, lame + 21, static_cast<uint32_t>(gap.delay << 12 | gap.padding), 3);
    putBigEndian(frame, lame + 28, bytes, 4);
    putBigEndian(frame, lame + 32, crc16(music), 2);
    putBigEndian(frame, lame + 34, crc16(std::string_view(frame).substr(0, lame + 34)), 2);
    return frame;
}

}  // namespace

namespace LameTag {

bool isHeaderFrame(std::string_view frame) {
    return xingOffset(frame) ||
           (frame.size() >= kVbriOffset + 4 && frame.substr(kVbriOffset, 4) == "VBRI");
}

std::optional<Gap> readGap(std::string_view frame) {
    const auto xing = xingOffset(frame);
    if (!xing) {
        return std::nullopt;
    }
    const uint32_t flags = bigEndian32(frame, *xing + 4);
    size_t lame = *xing + 8;
    for (const auto& [flag, length] : {std::pair{1u, 4u}, {2u, 4u}, {4u, 100u}, {8u, 4u}}) {
        lame += (flags & flag) != 0 ? length : 0;
    }
    if (lame + 24 > frame.size()) {
        return std::nullopt;
    }
    const std::string_view encoder = frame.substr(lame, 4);
    if (encoder != "LAME" && encoder != "Lavf" && encoder != "Lavc") {
        return std::nullopt;
    }
    const uint32_t field = bigEndian32(frame, lame + 20) & 0xFFFFFFu;
    return Gap{static_cast<int>(field >> 12), static_cast<int>(field & 0xFFF)};
}

bool writeGap(const std::string& path, int64_t encodedSamples, std::string& error) {
    std::string bytes;
    if (!readWholeFile(path, bytes, &error)) {
        return false;
    }
    const auto first = Layer3Header::parse(bytes, 0);
    if (!first) {
        error = path + ": not an MP3 stream";
        return false;
    }
    const size_t firstLength = std::min(first->length(), bytes.size());
    const size_t musicStart =
        isHeaderFrame(std::string_view(bytes).substr(0, firstLength)) ? firstLength : 0;
    const auto music = Layer3Header::parse(bytes, musicStart);
    const FrameRun run = music ? walkFrames(bytes, musicStart, *music) : FrameRun{};
    const int64_t padding =
        static_cast<int64_t>(run.starts.size()) * first->samples() - encodedSamples - kEncoderDelay;
    constexpr int64_t kLargestField = 0xFFF;
    if (run.starts.empty() || encodedSamples < 0 || padding < 0 || padding > kLargestField) {
        error =
            path + ": the MP3 stream does not hold " + std::to_string(encodedSamples) + " samples";
        return false;
    }
    const std::string_view musicBytes =
        std::string_view(bytes).substr(musicStart, run.end - musicStart);
    const std::string frame =
        headerFrame(*music, run, Gap{kEncoderDelay, static_cast<int>(padding)}, musicBytes);
    return writeFileAtomically(
        path, frame + std::string(std::string_view(bytes).substr(musicStart)), &error);
}

}  // namespace LameTag
