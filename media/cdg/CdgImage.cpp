#include "media/cdg/CdgImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "media/cdg/AvHandles.h"
#include "media/cdg/CdgDecoder.h"
#include "shell/AtomicFile.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace {

AvFrameHandle paletteFrame(const CdgPicture& picture) {
    AvFrameHandle frame(av_frame_alloc());
    if (!frame) {
        return frame;
    }
    frame->format = AV_PIX_FMT_PAL8;
    frame->width = CdgPicture::kWidth;
    frame->height = CdgPicture::kHeight;
    if (av_frame_get_buffer(frame.get(), 0) < 0) {
        return nullptr;
    }
    for (int y = 0; y < CdgPicture::kHeight; ++y) {
        std::memcpy(frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0],
                    picture.indices.data() + static_cast<size_t>(y) * CdgPicture::kWidth,
                    CdgPicture::kWidth);
    }
    // Unused entries opaque black, so the image needs no transparency of its own.
    auto* palette = reinterpret_cast<std::uint32_t*>(frame->data[1]);
    std::fill(palette, palette + AVPALETTE_COUNT, 0xFF000000U);
    std::copy(picture.palette.begin(), picture.palette.end(), palette);
    return frame;
}

}  // namespace

bool WriteCdgPng(const CdgPicture& picture, const std::string& path, std::string& error) {
    error = "无法生成PNG图像";
    const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (png == nullptr) {
        return false;
    }
    const AvCodecHandle encoder(avcodec_alloc_context3(png));
    const AvFrameHandle frame = paletteFrame(picture);
    const AvPacketHandle packet(av_packet_alloc());
    if (!encoder || !frame || !packet) {
        return false;
    }
    encoder->width = CdgPicture::kWidth;
    encoder->height = CdgPicture::kHeight;
    encoder->pix_fmt = AV_PIX_FMT_PAL8;
    encoder->time_base = AVRational{1, CdgDecoder::kPacketsPerSecond};
    if (avcodec_open2(encoder.get(), png, nullptr) < 0 ||
        avcodec_send_frame(encoder.get(), frame.get()) < 0 ||
        avcodec_receive_packet(encoder.get(), packet.get()) < 0) {
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(packet->data),
                                 static_cast<size_t>(packet->size));
    return writeFileAtomically(path, bytes, &error);
}
