#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

// Owners of FFmpeg's handles: each frees with the call its library pairs with the allocation.

struct AvFormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using AvFormatHandle = std::unique_ptr<AVFormatContext, AvFormatCloser>;

struct AvCodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using AvCodecHandle = std::unique_ptr<AVCodecContext, AvCodecFreer>;

struct AvFrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using AvFrameHandle = std::unique_ptr<AVFrame, AvFrameFreer>;

struct AvPacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using AvPacketHandle = std::unique_ptr<AVPacket, AvPacketFreer>;

// A custom reader's context; its buffer may have been replaced by the library, so both go.
struct AvIoFreer {
    void operator()(AVIOContext* io) const {
        if (io != nullptr) {
            av_freep(&io->buffer);
        }
        avio_context_free(&io);
    }
};
using AvIoHandle = std::unique_ptr<AVIOContext, AvIoFreer>;
