#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The errors of opening a WAV file. Each type alone says what failed; they carry nothing.
namespace WaveErrors {
struct FileOperation {};
struct RiffDoesntMatch {};
struct WaveDoesntMatch {};
struct FmtDoesntMatch {};
struct DataDoesntMatch {};
}  // namespace WaveErrors

// A RIFF WAVE file mapped whole into memory with a shared writable mapping, so that samples
// changed through samples() land in the file. The header is only read, never written. While a
// WaveFile is open no other writer can take the file (an exclusive lock); readers may.
class WaveFile {
public:
    // Opens, maps and parses the file; throws one of the WaveErrors and keeps nothing open when
    // that fails. Files over 4 GiB are refused with FileOperation.
    explicit WaveFile(const std::string& path);
    virtual ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    // The first sample byte, writable.
    uint8_t* samples() const { return m_cursor; }
    // The data chunk's declared length, cut at the end of the file.
    uint32_t sampleBytes() const { return m_sampleBytes; }
    // The byte offset of the first sample in the file.
    size_t dataOffset() const { return static_cast<size_t>(m_cursor - m_riff); }
    // The "fmt " chunk (tag, size, then the format fields).
    const uint8_t* formatChunk() const { return m_fmt; }
    // The "data" tag that was found.
    const uint8_t* dataChunk() const { return m_data; }

    // Releases the mapping and the file; harmless when already closed.
    void close();

private:
    struct MappedFile {
        uint32_t size = 0;
        int file = -1;
        uint8_t* view = nullptr;
    };

    void map(const std::string& path);
    void parseHeader();
    bool tagAt(size_t offset, const char* tag) const;

    MappedFile m_mapped;
    uint8_t* m_cursor = nullptr;
    uint8_t* m_riff = nullptr;
    uint8_t* m_fmt = nullptr;
    uint8_t* m_data = nullptr;
    uint32_t m_sampleBytes = 0;
};

// Runs `open` (which opens a WaveFile and works on it) and catches the five WaveErrors: true
// when none was thrown, else false with the error's class name in `errorName`.
template <typename Fn>
bool catchWaveErrors(Fn&& open, std::string* errorName) {
    const char* name = nullptr;
    try {
        open();
        return true;
    } catch (const WaveErrors::FileOperation&) {
        name = "FileOperation";
    } catch (const WaveErrors::RiffDoesntMatch&) {
        name = "RiffDoesntMatch";
    } catch (const WaveErrors::WaveDoesntMatch&) {
        name = "WaveDoesntMatch";
    } catch (const WaveErrors::FmtDoesntMatch&) {
        name = "FmtDoesntMatch";
    } catch (const WaveErrors::DataDoesntMatch&) {
        name = "DataDoesntMatch";
    }
    if (errorName) {
        *errorName = name;
    }
    return false;
}
