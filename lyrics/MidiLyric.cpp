#include "lyrics/MidiLyric.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>

#include "shell/TextCodec.h"

namespace {

constexpr int kDefaultTempo = 500000;  // µs per quarter note: 120 beats per minute
constexpr uint8_t kMetaText = 0x01;
constexpr uint8_t kMetaLyric = 0x05;
constexpr uint8_t kMetaTempo = 0x51;

struct TextEvent {
    uint64_t tick = 0;
    std::string_view bytes;
};

struct Tempo {
    uint64_t tick = 0;
    uint32_t microsPerQuarter = kDefaultTempo;
};

// Big-endian reads and variable-length quantities from a byte range; every read past the end
// fails and leaves the reader failed.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at >= m_bytes.size(); }
    size_t position() const { return m_at; }

    uint32_t number(size_t size) {
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i) {
            value = (value << 8) | byte();
        }
        return value;
    }

    uint8_t byte() {
        if (atEnd()) {
            m_ok = false;
            return 0;
        }
        return static_cast<uint8_t>(m_bytes[m_at++]);
    }

    uint8_t peek() const { return atEnd() ? 0 : static_cast<uint8_t>(m_bytes[m_at]); }

    // At most four bytes, as the format allows.
    uint32_t quantity() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = byte();
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return value;
            }
        }
        m_ok = false;
        return value;
    }

    std::string_view take(size_t size) {
        if (size > m_bytes.size() - std::min(m_at, m_bytes.size())) {
            m_ok = false;
            m_at = m_bytes.size();
            return {};
        }
        const std::string_view taken = m_bytes.substr(m_at, size);
        m_at += size;
        return taken;
    }

private:
    std::string_view m_bytes;
    size_t m_at = 0;
    bool m_ok = true;
};

// What one track holds of interest: its lyric and text events.
struct TrackTexts {
    std::vector<TextEvent> lyrics;
    std::vector<TextEvent> texts;
};

size_t channelDataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads the events of one track until its end or the first byte that cannot be an event.
TrackTexts readTrack(std::string_view data, std::vector<Tempo>& tempos) {
    TrackTexts track;
    ByteReader in(data);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!in.atEnd() && in.ok()) {
        tick += in.quantity();
        uint8_t status = in.peek();
        if (status >= 0x80) {
            in.byte();
        } else if (running != 0) {
            status = running;
        } else {
            break;
        }
        if (status == 0xFF) {
            const uint8_t type = in.byte();
            const std::string_view body = in.take(in.quantity());
            if (!in.ok()) {
                break;
            }
            if (type == kMetaTempo && body.size() == 3) {
                const auto b = [&](size_t i) { return static_cast<uint8_t>(body[i]); };
                const uint32_t micros = (uint32_t{b(0)} << 16) | (uint32_t{b(1)} << 8) | b(2);
                if (micros > 0) {
                    tempos.push_back({tick, micros});
                }
            } else if (type == kMetaLyric) {
                track.lyrics.push_back({tick, body});
            } else if (type == kMetaText) {
                track.texts.push_back({tick, body});
            }
        } else if (status == 0xF0 || status == 0xF7) {
            in.take(in.quantity());
            running = 0;
        } else if (status >= 0xF0) {
            break;
        } else {
            running = status;
            in.take(channelDataBytes(status));
        }
    }
    return track;
}

// Ticks to milliseconds through the tempo map (or the frame rate of an SMPTE division).
class TickClock {
public:
    TickClock(uint16_t division, std::vector<Tempo> tempos) : m_division(division) {
        std::stable_sort(tempos.begin(), tempos.end(),
                         [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
        long double ms = 0;
        Tempo current{0, kDefaultTempo};
        for (const Tempo& tempo : tempos) {
            ms += quarterMs(tempo.tick - current.tick, current.microsPerQuarter);
            m_map.push_back({tempo.tick, ms, tempo.microsPerQuarter});
            current = tempo;
        }
    }

    int milliseconds(uint64_t tick) const {
        long double ms = 0;
        if ((m_division & 0x8000) != 0) {
            const int fps = -static_cast<int8_t>(m_division >> 8);
            const int perFrame = m_division & 0xFF;
            ms = fps > 0 && perFrame > 0 ? tick * 1000.0L / (fps * perFrame) : 0;
        } else {
            const auto after =
                std::upper_bound(m_map.begin(), m_map.end(), tick,
                                 [](uint64_t t, const Point& p) { return t < p.tick; });
            if (after == m_map.begin()) {
                ms = quarterMs(tick, kDefaultTempo);
            } else {
                const Point& p = *(after - 1);
                ms = p.ms + quarterMs(tick - p.tick, p.microsPerQuarter);
            }
        }
        return static_cast<int>(std::clamp<long double>(ms, 0, INT32_MAX));
    }

private:
    struct Point {
        uint64_t tick;
        long double ms;
        uint32_t microsPerQuarter;
    };

    long double quarterMs(uint64_t ticks, uint32_t microsPerQuarter) const {
        const uint16_t perQuarter = m_division == 0 ? 1 : m_division;
        return static_cast<long double>(ticks) * microsPerQuarter / perQuarter / 1000.0L;
    }

    uint16_t m_division;
    std::vector<Point> m_map;
};

// Karaoke files put "@T title", "@L language" and such headers among the words.
bool isHeaderText(std::string_view text) {
    return text.starts_with('@');
}

// The track that carries the lyric: the most lyric events, or, without any, the most words
// among text events.
std::vector<TextEvent> lyricEvents(std::vector<TrackTexts>& tracks) {
    const auto most = [&](auto member) {
        auto best = tracks.end();
        for (auto it = tracks.begin(); it != tracks.end(); ++it) {
            if (!((*it).*member).empty() &&
                (best == tracks.end() || ((*it).*member).size() > ((*best).*member).size())) {
                best = it;
            }
        }
        return best == tracks.end() ? std::vector<TextEvent>{} : std::move((*best).*member);
    };
    for (TrackTexts& track : tracks) {
        std::erase_if(track.texts, [](const TextEvent& e) { return isHeaderText(e.bytes); });
    }
    std::vector<TextEvent> events = most(&TrackTexts::lyrics);
    return events.empty() ? most(&TrackTexts::texts) : events;
}

// Cuts the timed syllables into lines.
class LineBuilder {
public:
    void add(int start, std::string_view syllable) {
        if (!syllable.empty() && (syllable.front() == '/' || syllable.front() == '\\')) {
            m_breakPending = true;
            syllable.remove_prefix(1);
        }
        std::string text;
        bool endsLine = false;
        for (const char c : syllable) {
            if (c == '\r' || c == '\n') {
                endsLine = true;
            } else {
                text.push_back(c);
            }
        }
        if (!text.empty()) {
            if (m_breakPending || m_lines.empty() ||
                m_lines.back().Text.size() + text.size() > kMaxLyricTextBytes) {
                m_lines.emplace_back().Start = start;
            }
            m_breakPending = false;
            LyricLine& line = m_lines.back();
            line.Words.push_back(
                {start, start, static_cast<int>(line.Text.size()), static_cast<int>(text.size())});
            line.Text += text;
        }
        m_breakPending = m_breakPending || endsLine;
    }

    std::vector<LyricLine> finish() {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            LyricLine& line = m_lines[i];
            line.End = i + 1 < m_lines.size()
                           ? m_lines[i + 1].Start
                           : static_cast<int>(std::min<int64_t>(
                                 int64_t{line.Words.back().Start} + kLastWordMs, INT32_MAX));
            CloseWordEnds(line.Words, line.End);
        }
        return std::move(m_lines);
    }

private:
    std::vector<LyricLine> m_lines;
    bool m_breakPending = false;
};

}  // namespace

bool IsMidiLyricFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".kar" || extension == ".mid" || extension == ".midi";
}

bool ReadMidiLyric(std::string_view bytes, std::vector<LyricLine>& lines, std::string& error) {
    ByteReader in(bytes);
    const std::string_view magic = in.take(4);
    const uint32_t headerSize = in.number(4);
    in.number(2);  // format: every format keeps its lyric in some track
    in.number(2);  // track count: the chunks present are read
    const auto division = static_cast<uint16_t>(in.number(2));
    if (magic != "MThd" || headerSize < 6 || !in.ok()) {
        error = "not a MIDI file";
        return false;
    }
    in.take(std::min<size_t>(headerSize - 6, bytes.size()));
    std::vector<TrackTexts> tracks;
    std::vector<Tempo> tempos;
    while (in.ok() && !in.atEnd()) {
        const std::string_view id = in.take(4);
        const uint32_t size = in.number(4);
        if (!in.ok()) {
            break;
        }
        // A last chunk cut short is read as far as it goes.
        const std::string_view body = in.take(std::min<size_t>(size, bytes.size() - in.position()));
        if (id == "MTrk") {
            tracks.push_back(readTrack(body, tempos));
        }
    }
    const TickClock clock(division, std::move(tempos));
    const std::vector<TextEvent> events = lyricEvents(tracks);
    std::string all;
    for (const TextEvent& event : events) {
        all += event.bytes;
    }
    const bool utf8 = TextCodec::isUtf8(all);
    LineBuilder builder;
    for (const TextEvent& event : events) {
        builder.add(clock.milliseconds(event.tick),
                    utf8 ? std::string(event.bytes) : TextCodec::gbkToUtf8(event.bytes));
    }
    lines = builder.finish();
    if (lines.empty()) {
        error = "no lyric in the MIDI file";
        return false;
    }
    return true;
}
