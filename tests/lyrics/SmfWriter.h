#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes Standard MIDI File bytes for tests: a header and tracks of events with delta times.
class SmfWriter {
public:
    class Track {
    public:
        Track& meta(uint32_t delta, uint8_t type, const std::string& data) {
            quantity(delta);
            m_bytes += '\xFF';
            m_bytes += static_cast<char>(type);
            quantity(static_cast<uint32_t>(data.size()));
            m_bytes += data;
            return *this;
        }
        Track& lyric(uint32_t delta, const std::string& text) { return meta(delta, 0x05, text); }
        Track& text(uint32_t delta, const std::string& text) { return meta(delta, 0x01, text); }
        Track& tempo(uint32_t delta, uint32_t microsPerQuarter) {
            return meta(
                delta, 0x51,
                {static_cast<char>(microsPerQuarter >> 16),
                 static_cast<char>(microsPerQuarter >> 8), static_cast<char>(microsPerQuarter)});
        }
        // Raw event bytes after the delta (channel messages, running status, sysex).
        Track& raw(uint32_t delta, const std::string& bytes) {
            quantity(delta);
            m_bytes += bytes;
            return *this;
        }
        const std::string& bytes() const { return m_bytes; }

    private:
        void quantity(uint32_t value) {
            std::string reversed(1, static_cast<char>(value & 0x7F));
            while ((value >>= 7) != 0) {
                reversed += static_cast<char>(0x80 | (value & 0x7F));
            }
            m_bytes.append(reversed.rbegin(), reversed.rend());
        }
        std::string m_bytes;
    };

    explicit SmfWriter(uint16_t division = 480) : m_division(division) {}

    Track& track() { return m_tracks.emplace_back(); }

    // The file; every track closed with an end-of-track event.
    std::string bytes() const {
        std::string out = "MThd";
        number(out, 6, 4);
        number(out, 1, 2);
        number(out, static_cast<uint32_t>(m_tracks.size()), 2);
        number(out, m_division, 2);
        for (const Track& track : m_tracks) {
            const std::string body = track.bytes() + std::string("\x00\xFF\x2F\x00", 4);
            out += "MTrk";
            number(out, static_cast<uint32_t>(body.size()), 4);
            out += body;
        }
        return out;
    }

private:
    static void number(std::string& out, uint32_t value, int size) {
        for (int shift = (size - 1) * 8; shift >= 0; shift -= 8) {
            out += static_cast<char>((value >> shift) & 0xFF);
        }
    }

    uint16_t m_division;
    std::vector<Track> m_tracks;
};
