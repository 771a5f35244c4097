#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The errors of opening a WAV file. Each type alone says what failed; they carry nothing.
namespace WaveErrors {
struct FileOperation {};
struct RiffDoesntMatch {};
struct WaveDoesntMatch {};
struct FmtDoesntMatch {};
struct DataDoesntMatch {};
}  // namespace WaveErrors

// A RIFF WAVE file opened for reading and writing its sample area in place. The header is only
// read, never written. While a WaveFile is open no other writer can take the file (an exclusive
// lock); readers may. The file is not mapped: every access is a bounded read or write, so a file
// another process shortens meanwhile ends the work with FileOperation, never a signal.
class WaveFile {
public:
    // Opens and parses the file; throws one of the WaveErrors and keeps nothing open when that
    // fails. Files over 4 GiB are refused with FileOperation.
    explicit WaveFile(const std::string& path);
    virtual ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    // The data chunk's declared length, cut at the end of the file.
    uint32_t sampleBytes() const { return m_sampleBytes; }
    // The byte offset of the first sample in the file.
    size_t dataOffset() const { return m_dataOffset; }
    // The "fmt " chunk as far as the file holds it, at most its tag, size and 40 field bytes.
    const uint8_t* formatChunk() const { return m_format.data(); }
    // Whether the format fields say 16-bit PCM (plain or extensible).
    bool isPcm16() const;

    // Exactly `bytes` bytes at `offset` of the sample area; FileOperation when the file no
    // longer holds them.
    void read(size_t offset, uint8_t* into, size_t bytes) const;
    // Writes back bytes that read() returned; FileOperation when the file has been shortened.
    void write(size_t offset, const uint8_t* from, size_t bytes) const;

    // Releases the file; harmless when already closed.
    void close();

private:
    void open(const std::string& path);
    void parseHeader();
    bool tagAt(size_t offset, const char* tag) const;
    bool readHeaderBytes(size_t offset, uint8_t* into, size_t bytes) const;
    size_t walkToData() const;
    size_t searchForData() const;

    int m_file = -1;
    uint32_t m_size = 0;
    std::vector<uint8_t> m_format;
    size_t m_dataOffset = 0;
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
