#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>

// Writes CD+G graphics streams for tests: 24-byte packets, 300 a second, of the few
// instructions a karaoke disc uses. Packets not written are empty (they draw nothing).
class CdgWriter {
public:
    static constexpr int kPacketsPerSecond = 300;
    static constexpr int kTileWidth = 6;
    static constexpr int kTileHeight = 12;

    // The next instruction goes to packet `packet` (0 is the start); the gap stays empty.
    CdgWriter& at(long long packet) {
        const size_t wanted = static_cast<size_t>(packet) * kPacketBytes;
        if (m_bytes.size() < wanted) {
            m_bytes.resize(wanted, '\0');
        }
        return *this;
    }
    // Fills the screen with `color`.
    CdgWriter& memoryPreset(int color) { return instruction(kMemoryPreset, {byte(color), 0}); }
    // Fills the border (6 pixels left and right, 12 top and bottom) with `color`.
    CdgWriter& borderPreset(int color) { return instruction(kBorderPreset, {byte(color)}); }
    // A 6×12 tile at tile row `row` (0–17) and column `column` (0–49): a set bit of `rows`
    // (bit 5 is the leftmost pixel) draws `color1`, a clear bit `color0`; with `xorMode` the
    // colour index is XORed into the picture instead.
    CdgWriter& tile(int row, int column, int color0, int color1,
                    const std::array<std::uint8_t, kTileHeight>& rows, bool xorMode = false) {
        std::array<char, 16> data{byte(color0), byte(color1), byte(row), byte(column)};
        for (size_t i = 0; i < rows.size(); ++i) {
            data[4 + i] = static_cast<char>(rows[i] & 0x3F);
        }
        return instruction(xorMode ? kTileXor : kTileNormal, data);
    }
    // A whole tile of one colour.
    CdgWriter& solidTile(int row, int column, int color, bool xorMode = false) {
        std::array<std::uint8_t, kTileHeight> rows{};
        rows.fill(0x3F);
        return tile(row, column, 0, color, rows, xorMode);
    }
    // Colours 0–7 (`high` false) or 8–15 from 0xRGB values, four bits each.
    CdgWriter& colorTable(bool high, const std::array<std::uint16_t, 8>& rgb) {
        std::array<char, 16> data{};
        for (size_t i = 0; i < rgb.size(); ++i) {
            const int r = (rgb[i] >> 8) & 0xF;
            const int g = (rgb[i] >> 4) & 0xF;
            const int b = rgb[i] & 0xF;
            data[2 * i] = static_cast<char>((r << 2) | (g >> 2));
            data[2 * i + 1] = static_cast<char>(((g & 3) << 4) | b);
        }
        return instruction(high ? kColorsHigh : kColorsLow, data);
    }
    // Raw packet bytes (for broken streams).
    CdgWriter& raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }

    const std::string& bytes() const { return m_bytes; }
    long long packets() const { return static_cast<long long>(m_bytes.size()) / kPacketBytes; }
    bool save(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(m_bytes.data(), static_cast<std::streamsize>(m_bytes.size()));
        return static_cast<bool>(out);
    }

    // The 0xAARRGGBB colour that a 0xRGB table entry shows as.
    static std::uint32_t shown(std::uint16_t rgb) {
        const auto scale = [](int four) { return static_cast<std::uint32_t>(four * 17); };
        return 0xFF000000U | scale((rgb >> 8) & 0xF) << 16 | scale((rgb >> 4) & 0xF) << 8 |
               scale(rgb & 0xF);
    }

private:
    static constexpr size_t kPacketBytes = 24;
    static constexpr char kGraphicsMode = 0x09;
    static constexpr char kMemoryPreset = 1;
    static constexpr char kBorderPreset = 2;
    static constexpr char kTileNormal = 6;
    static constexpr char kColorsLow = 30;
    static constexpr char kColorsHigh = 31;
    static constexpr char kTileXor = 38;

    static char byte(int value) { return static_cast<char>(value & 0x3F); }

    CdgWriter& instruction(char code, const std::array<char, 16>& data) {
        m_bytes += kGraphicsMode;
        m_bytes += code;
        m_bytes.append(2, '\0');  // parity Q, unchecked by players
        m_bytes.append(data.data(), data.size());
        m_bytes.append(4, '\0');  // parity P
        return *this;
    }

    std::string m_bytes;
};
