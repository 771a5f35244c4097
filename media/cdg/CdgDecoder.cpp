#include "media/cdg/CdgDecoder.h"

#include <cstring>
#include <fstream>

#include "media/cdg/AvHandles.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

constexpr int kPacketBytes = 24;
constexpr int kReadBufferBytes = 4096;
constexpr std::uint8_t kGraphicsMode = 0x09;
constexpr std::uint8_t kModeMask = 0x3F;

// The bytes of a stream read from memory, with the custom reader's position.
struct MemoryReader {
    std::vector<std::uint8_t> bytes;
    size_t position = 0;

    static int read(void* opaque, std::uint8_t* buffer, int size) {
        auto* self = static_cast<MemoryReader*>(opaque);
        const size_t left = self->bytes.size() - self->position;
        if (left == 0) {
            return AVERROR_EOF;
        }
        const size_t count = std::min(left, static_cast<size_t>(size));
        std::memcpy(buffer, self->bytes.data() + self->position, count);
        self->position += count;
        return static_cast<int>(count);
    }

    static std::int64_t seek(void* opaque, std::int64_t offset, int whence) {
        auto* self = static_cast<MemoryReader*>(opaque);
        const auto size = static_cast<std::int64_t>(self->bytes.size());
        if ((whence & AVSEEK_SIZE) != 0) {
            return size;
        }
        const std::int64_t base = (whence & 0xFF) == SEEK_CUR
                                      ? static_cast<std::int64_t>(self->position)
                                  : (whence & 0xFF) == SEEK_END ? size
                                                                : 0;
        const std::int64_t target = base + offset;
        if (target < 0 || target > size) {
            return AVERROR(EINVAL);
        }
        self->position = static_cast<size_t>(target);
        return target;
    }
};

// Whether any packet of the stream draws: a file of other data, or an empty one, holds none.
bool holdsGraphics(const std::uint8_t* bytes, size_t size) {
    for (size_t at = 0; at + kPacketBytes <= size; at += kPacketBytes) {
        if ((bytes[at] & kModeMask) == kGraphicsMode) {
            return true;
        }
    }
    return false;
}

bool fileHoldsGraphics(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> chunk(static_cast<size_t>(kPacketBytes) * 1024);
    while (in) {
        in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        if (holdsGraphics(chunk.data(), static_cast<size_t>(in.gcount()))) {
            return true;
        }
    }
    return false;
}

}  // namespace

struct CdgDecoder::Stream {
    std::string path;                      // a file, or
    std::unique_ptr<MemoryReader> memory;  // bytes in memory
    // The reader outlives the container that reads through it.
    AvIoHandle io;
    AvFormatHandle format;
    AvCodecHandle codec;
    AvPacketHandle packet{av_packet_alloc()};
    AvFrameHandle frame{av_frame_alloc()};
    bool packetWaiting = false;

    std::string name() const { return memory ? std::string("CDG") : path; }
};

CdgDecoder::CdgDecoder(std::unique_ptr<Stream> stream) : m_stream(std::move(stream)) {}

CdgDecoder::~CdgDecoder() = default;

std::unique_ptr<CdgDecoder> CdgDecoder::OpenFile(const std::string& path, std::string& error) {
    if (!std::ifstream(path, std::ios::binary)) {
        error = "无法打开CDG文件 " + path;
        return nullptr;
    }
    if (!fileHoldsGraphics(path)) {
        error = path + " 不是CD+G图形文件";
        return nullptr;
    }
    auto stream = std::make_unique<Stream>();
    stream->path = path;
    std::unique_ptr<CdgDecoder> decoder(new CdgDecoder(std::move(stream)));
    return decoder->restart(error) ? std::move(decoder) : nullptr;
}

std::unique_ptr<CdgDecoder> CdgDecoder::OpenMemory(std::vector<std::uint8_t> bytes,
                                                   std::string& error) {
    if (!holdsGraphics(bytes.data(), bytes.size())) {
        error = "CDG数据中没有CD+G图形";
        return nullptr;
    }
    auto stream = std::make_unique<Stream>();
    stream->memory = std::make_unique<MemoryReader>();
    stream->memory->bytes = std::move(bytes);
    std::unique_ptr<CdgDecoder> decoder(new CdgDecoder(std::move(stream)));
    return decoder->restart(error) ? std::move(decoder) : nullptr;
}

// Opens the stream again at its start with a fresh decoder, whose picture starts black.
bool CdgDecoder::restart(std::string& error) {
    Stream& s = *m_stream;
    s.codec.reset();
    s.format.reset();
    s.io.reset();
    // A packet read ahead of the position asked for is dropped with its data.
    if (s.packet) {
        av_packet_unref(s.packet.get());
    }
    s.packetWaiting = false;
    m_decodedThrough = -1;
    m_picture = CdgPicture();
    ++m_version;
    error = "无法解码CDG文件 " + s.name();
    // Damaged packets are common on ripped discs and skipped; the library need not say so.
    av_log_set_level(AV_LOG_FATAL);
    if (!s.packet || !s.frame) {
        return false;
    }
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr) {
        return false;
    }
    if (s.memory) {
        s.memory->position = 0;
        auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBufferBytes));
        s.io.reset(avio_alloc_context(buffer, kReadBufferBytes, 0, s.memory.get(),
                                      &MemoryReader::read, nullptr, &MemoryReader::seek));
        if (!s.io) {
            av_free(buffer);
            avformat_free_context(context);
            return false;
        }
        context->pb = s.io.get();
    }
    // On failure the context is freed by the call.
    if (avformat_open_input(&context, s.memory ? nullptr : s.path.c_str(),
                            av_find_input_format("cdg"), nullptr) < 0) {
        return false;
    }
    s.format.reset(context);
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_CDGRAPHICS);
    if (context->nb_streams < 1 || codec == nullptr) {
        return false;
    }
    s.codec.reset(avcodec_alloc_context3(codec));
    if (!s.codec ||
        avcodec_parameters_to_context(s.codec.get(), context->streams[0]->codecpar) < 0 ||
        avcodec_open2(s.codec.get(), codec, nullptr) < 0) {
        return false;
    }
    error.clear();
    return true;
}

const CdgPicture& CdgDecoder::PictureAt(long long ms) {
    if (!m_stream->format) {
        return m_picture;
    }
    const AVRational timeBase = m_stream->format->streams[0]->time_base;
    const long long packet =
        av_rescale_q_rnd(std::max(ms, 0LL), AVRational{1, 1000}, timeBase, AV_ROUND_DOWN);
    std::string ignored;
    if (packet < m_decodedThrough && !restart(ignored)) {
        return m_picture;
    }
    decodeThrough(packet);
    return m_picture;
}

void CdgDecoder::decodeThrough(long long packet) {
    Stream& s = *m_stream;
    for (;;) {
        if (!s.packetWaiting) {
            if (av_read_frame(s.format.get(), s.packet.get()) < 0) {
                return;
            }
            s.packetWaiting = true;
        }
        const long long pts = s.packet->pts;
        if (pts != AV_NOPTS_VALUE && pts > packet) {
            return;
        }
        // A packet the decoder refuses draws nothing; the stream goes on.
        avcodec_send_packet(s.codec.get(), s.packet.get());
        av_packet_unref(s.packet.get());
        s.packetWaiting = false;
        while (avcodec_receive_frame(s.codec.get(), s.frame.get()) == 0) {
            takePicture();
            av_frame_unref(s.frame.get());
        }
        if (pts != AV_NOPTS_VALUE) {
            m_decodedThrough = pts;
        }
    }
}

void CdgDecoder::takePicture() {
    const AVFrame& frame = *m_stream->frame;
    if (frame.format != AV_PIX_FMT_PAL8 || frame.width != CdgPicture::kWidth ||
        frame.height != CdgPicture::kHeight) {
        return;
    }
    bool changed = false;
    for (int y = 0; y < CdgPicture::kHeight; ++y) {
        const std::uint8_t* row =
            frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
        std::uint8_t* out = m_picture.indices.data() + static_cast<size_t>(y) * CdgPicture::kWidth;
        if (std::memcmp(out, row, CdgPicture::kWidth) != 0) {
            std::memcpy(out, row, CdgPicture::kWidth);
            changed = true;
        }
    }
    std::array<std::uint32_t, 16> palette{};
    std::memcpy(palette.data(), frame.data[1], sizeof palette);
    if (palette != m_picture.palette) {
        m_picture.palette = palette;
        changed = true;
    }
    if (changed) {
        ++m_version;
    }
}
