#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One picture of a CD+G stream: 300×216 palette indices and the 16-colour table (0xAARRGGBB).
struct CdgPicture {
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 216;

    std::vector<std::uint8_t> indices = std::vector<std::uint8_t>(kWidth * kHeight, 0);
    std::array<std::uint32_t, 16> palette{};

    std::uint32_t ColorAt(int x, int y) const {
        return palette[indices[static_cast<size_t>(y * kWidth + x)] & 0x0F];
    }
};

// Decodes a CD+G graphics stream (a .cdg file, or one read into memory from a zip) to the
// picture shown at a play position. CD+G draws by changing the picture packet by packet, so a
// position is reached by decoding forward from the last one, or from the start when it lies
// before it.
class CdgDecoder {
public:
    // 300 packets a second: the picture at a position holds every packet up to it.
    static constexpr int kPacketsPerSecond = 300;

    ~CdgDecoder();
    CdgDecoder(const CdgDecoder&) = delete;
    CdgDecoder& operator=(const CdgDecoder&) = delete;

    // Null with a user text in `error` when the file cannot be read or holds no graphics.
    static std::unique_ptr<CdgDecoder> OpenFile(const std::string& path, std::string& error);
    static std::unique_ptr<CdgDecoder> OpenMemory(std::vector<std::uint8_t> bytes,
                                                  std::string& error);

    // The picture at `ms` from the start (negative counts as 0).
    const CdgPicture& PictureAt(long long ms);
    // Bumped each time the picture changes, so a viewer repaints only then.
    unsigned long long Version() const { return m_version; }
    // The length of the stream, ms.
    long long DurationMs() const;

private:
    struct Stream;
    explicit CdgDecoder(std::unique_ptr<Stream> stream);
    bool restart(std::string& error);
    // Decodes every packet up to `packet`; false at the end of the stream.
    void decodeThrough(long long packet);
    void takePicture();

    std::unique_ptr<Stream> m_stream;
    CdgPicture m_picture;
    long long m_decodedThrough = -1;
    unsigned long long m_version = 0;
};
