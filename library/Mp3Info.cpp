#include "library/Mp3Info.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include "library/FileHandle.h"
#include "library/Id3v1Tag.h"
#include "library/LameTag.h"

namespace {

// A header is searched for at most this many bytes beyond where the search starts.
constexpr int kSyncSearchSteps = 10000;

// kbit/s by bitrate index: MPEG-1 Layer I, II, III; MPEG-2/2.5 Layer I; MPEG-2/2.5 Layer II/III.
constexpr std::array<std::array<int, 16>, 5> kBitrates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
}};

// Hz by version (1 MPEG-2.5, 2 MPEG-2, 3 MPEG-1) and sample-rate index.
constexpr std::array<std::array<int, 3>, 4> kSampleRates{{
    {0, 0, 0},
    {11025, 12000, 8000},
    {22050, 24000, 16000},
    {44100, 48000, 32000},
}};

constexpr std::array<int, 4> kVersionByBits{1, 0, 2, 3};
constexpr std::array<int, 4> kLayerByBits{0, 3, 2, 1};

const std::array<int, 16>& bitrateRow(int version, int layer) {
    if (version == 3) {
        return kBitrates[static_cast<size_t>(layer - 1)];
    }
    return kBitrates[layer == 1 ? 3 : 4];
}

// Serves the scan's four-byte reads from a large buffer instead of one system call each.
class ScanReader {
public:
    explicit ScanReader(const FileHandle& file) : m_file(file), m_buffer(size_t{64} * 1024) {}

    // The big-endian word at `pos`; false when fewer than 4 bytes are there.
    bool wordAt(off_t pos, uint32_t& word) {
        if (pos < m_start || pos + 4 > m_start + m_length) {
            m_start = pos;
            m_length = static_cast<off_t>(m_file.readAt(pos, m_buffer.data(), m_buffer.size()));
            if (m_length < 4) {
                return false;
            }
        }
        const auto* p = reinterpret_cast<const unsigned char*>(m_buffer.data() + (pos - m_start));
        word = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
        return true;
    }

    // Looks for a frame sync from `pos` on; `pos` ends on the header.
    bool findSync(off_t& pos, uint32_t& header) {
        for (int step = 0; step < kSyncSearchSteps; ++step, ++pos) {
            if (!wordAt(pos, header)) {
                return false;
            }
            if ((header & 0xFFE00000u) == 0xFFE00000u) {
                return true;
            }
        }
        return false;
    }

    // The length of an ID3v2 tag at the start of the file, 0 when there is none. Its contents
    // (a cover picture above all) are full of bytes that look like frame syncs.
    off_t id3v2Length() {
        char head[10];
        if (m_file.readAt(0, head, sizeof head) != sizeof head ||
            std::string_view(head, 3) != "ID3") {
            return 0;
        }
        off_t length = 0;
        for (int i = 6; i < 10; ++i) {
            if (static_cast<unsigned char>(head[i]) >= 0x80) {
                return 0;
            }
            length = (length << 7) | head[i];
        }
        const bool footer = (head[5] & 0x10) != 0;
        return length + 10 + (footer ? 10 : 0);
    }

private:
    const FileHandle& m_file;
    std::vector<char> m_buffer;
    off_t m_start = 0;
    off_t m_length = 0;
};

}  // namespace

struct Mp3Info::FrameScan {
    int bitrate = 0;
    long long bitrateSum = 0;
    // Whole samples at one rate, so that a file of exactly 300 s does not read 299.99999.
    double seconds = 0;
    long long samples = 0;
    int rate = 0;
    LameTag::Gap gap;

    void addFrame(int frameSamples, int frameRate) {
        if (frameRate != rate) {
            seconds = playTime();
            samples = 0;
            rate = frameRate;
        }
        samples += frameSamples;
    }
    // Decoders trim the lead-in and padding a LAME tag records.
    double playTime(long long trimmed = 0) const {
        const long long left = std::max(samples - trimmed, 0LL);
        return rate > 0 ? seconds + static_cast<double>(left) / rate : seconds;
    }
};

Mp3Info::Mp3Info(const std::string& path) {
    if (!path.empty()) {
        Read(path);
    }
}

void Mp3Info::Reset() {
    *this = Mp3Info();
}

bool Mp3Info::Read(const std::string& path) {
    Reset();
    const FileHandle file(path, O_RDONLY);
    if (!file.isOpen()) {
        return false;
    }
    scanFrames(file);
    if (const auto tag = Id3v1Tag::readFrom(file)) {
        m_title = tag->title;
        m_artist = tag->artist;
        m_album = tag->album;
        m_year = tag->year;
        m_comment = tag->comment;
        m_track = tag->track;
        m_genre = tag->genre;
        m_flags |= kFlagTag;
    }
    m_path = path;
    return true;
}

void Mp3Info::takeHeader(unsigned header, bool first, FrameScan& scan) {
    const int version = kVersionByBits[(header >> 19) & 3];
    if (first) {
        m_version = version;
        m_layer = kLayerByBits[(header >> 17) & 3];
        m_protection = static_cast<int>((header >> 16) & 1);
    }
    if (m_layer != 0) {
        scan.bitrate = bitrateRow(m_version, m_layer)[(header >> 12) & 15];
    }
    const unsigned rateIndex = (header >> 10) & 3;
    if (rateIndex != 3 && version != 0) {
        m_sampleRate = kSampleRates[static_cast<size_t>(version)][rateIndex];
    }
    m_channelMode = static_cast<int>((header >> 6) & 3);
    m_copyright = static_cast<int>((header >> 3) & 1);
    m_original = static_cast<int>((header >> 2) & 1);
    m_emphasis = static_cast<int>(header & 3);
}

bool Mp3Info::takeHeaderFrame(const FileHandle& file, off_t pos, long long length,
                              FrameScan& scan) {
    constexpr long long kLongestFrame = 2881;
    std::string frame(static_cast<size_t>(std::clamp(length, 0LL, kLongestFrame)), '\0');
    frame.resize(file.readAt(pos, frame.data(), frame.size()));
    if (!LameTag::isHeaderFrame(frame)) {
        return false;
    }
    scan.gap = LameTag::readGap(frame).value_or(LameTag::Gap{});
    return true;
}

void Mp3Info::scanFrames(const FileHandle& file) {
    ScanReader reader(file);
    off_t pos = reader.id3v2Length();
    uint32_t header = 0;
    FrameScan scan;
    while (m_frameCount < INT_MAX && reader.findSync(pos, header)) {
        takeHeader(header, m_frameCount == 0, scan);
        if (m_sampleRate == 0) {
            break;
        }
        const long long padding = (header >> 9) & 1;
        const long long bitrate = scan.bitrate;
        long long length = 0;
        int samples = 0;
        if (m_layer == 1) {
            length = (12000 * bitrate / m_sampleRate + padding) * 4;
            samples = 384;
        } else if (m_version == 3 || m_layer == 2) {
            length = 144000 * bitrate / m_sampleRate + padding;
            samples = 1152;
        } else {
            length = 72000 * bitrate / m_sampleRate + padding;
            samples = 576;
        }
        // A header frame at the start holds the stream's length, not sound.
        const bool sound = m_frameCount > 0 || !takeHeaderFrame(file, pos, length, scan);
        ++m_frameCount;
        if (bitrate > 0) {
            scan.bitrateSum += bitrate;
        }
        // Time from the samples, not the bytes: variable bitrate frames are not padded to time.
        if (bitrate != 0 && sound) {
            scan.addFrame(samples, m_sampleRate);
        }
        pos += 4 + (length > 4 ? length - 4 : 0);
    }
    if (m_frameCount > 0) {
        m_flags |= kFlagFrames;
        m_bitrate = static_cast<int>(scan.bitrateSum / m_frameCount);
        m_playTime = scan.playTime(scan.gap.delay + scan.gap.padding);
        m_duration = m_playTime < INT_MAX ? static_cast<int>(m_playTime) : INT_MAX;
    }
}

namespace {

// Writes `block` at `at` (the old tag's place, or the end at `size`) so that a failure leaves the
// file as it was: the room for a new tag is reserved before a byte is written, and an old tag
// half overwritten is put back.
bool replaceTail(const FileHandle& file, off_t at, off_t size, const std::string& block) {
    const auto length = static_cast<off_t>(block.size());
    std::string old(static_cast<size_t>(size - at), '\0');
    if (file.readAt(at, old.data(), old.size()) != old.size()) {
        return false;
    }
    if (at + length > size && ::posix_fallocate(file.fd(), size, at + length - size) != 0) {
        return false;
    }
    if (file.writeAt(at, block)) {
        return true;
    }
    // Best effort: the old bytes back and the old length.
    file.writeAt(at, old);
    (void)::ftruncate(file.fd(), size);
    return false;
}

}  // namespace

bool Mp3Info::WriteTag(const std::string& path, bool remove) const {
    const std::string& target = path.empty() ? m_path : path;
    if (target.empty()) {
        return false;
    }
    const FileHandle file(target, O_RDWR | O_CREAT);
    const off_t size = file.isOpen() && !file.isReadOnly() ? file.size() : -1;
    if (size < 0) {
        return false;
    }
    const off_t at = hasId3v1Tag(file) ? size - static_cast<off_t>(Id3v1Tag::kSize) : size;
    if (remove) {
        return at == size || ::ftruncate(file.fd(), at) == 0;
    }
    const Id3v1Tag tag{m_title, m_artist, m_album, m_year, m_comment, m_track, m_genre};
    return replaceTail(file, at, size, tag.toBlock());
}
