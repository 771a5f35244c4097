#include "audiotools/WaveFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr size_t kFmtOffset = 12;
constexpr size_t kDataOffset = 36;
constexpr size_t kTagSize = 4;
constexpr size_t kChunkHeaderSize = 8;
// Tag, size and the longest format body in use (the extensible one).
constexpr size_t kFormatBytesKept = kChunkHeaderSize + 40;
constexpr size_t kNotFound = std::numeric_limits<size_t>::max();
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

WaveFile::WaveFile(const std::string& path) {
    try {
        open(path);
        parseHeader();
    } catch (...) {
        close();
        throw;
    }
}

WaveFile::~WaveFile() {
    close();
}

void WaveFile::open(const std::string& path) {
    m_file = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (m_file < 0) {
        throw WaveErrors::FileOperation();
    }
    // Other writers are kept out for as long as the file is open; readers are not. A file that
    // nobody may write is read-only even to the superuser, whose open succeeds regardless.
    struct stat info {};
    if (::flock(m_file, LOCK_EX | LOCK_NB) != 0 || ::fstat(m_file, &info) != 0 ||
        !S_ISREG(info.st_mode) || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        info.st_size <= 0 ||
        static_cast<uint64_t>(info.st_size) > std::numeric_limits<uint32_t>::max()) {
        throw WaveErrors::FileOperation();
    }
    m_size = static_cast<uint32_t>(info.st_size);
}

bool WaveFile::readHeaderBytes(size_t offset, uint8_t* into, size_t bytes) const {
    if (offset > m_size || bytes > m_size - offset) {
        return false;
    }
    read(offset, into, bytes);
    return true;
}

bool WaveFile::tagAt(size_t offset, const char* tag) const {
    uint8_t bytes[kTagSize];
    return readHeaderBytes(offset, bytes, kTagSize) && std::memcmp(bytes, tag, kTagSize) == 0;
}

void WaveFile::parseHeader() {
    if (!tagAt(0, "RIFF")) {
        throw WaveErrors::RiffDoesntMatch();
    }
    if (!tagAt(8, "WAVE")) {
        throw WaveErrors::WaveDoesntMatch();
    }
    if (!tagAt(kFmtOffset, "fmt ")) {
        throw WaveErrors::FmtDoesntMatch();
    }
    m_format.resize(std::min<size_t>(kFormatBytesKept, m_size - kFmtOffset));
    read(kFmtOffset, m_format.data(), m_format.size());

    size_t offset = walkToData();
    if (offset == kNotFound) {
        offset = searchForData();
    }
    if (offset == kNotFound) {
        throw WaveErrors::DataDoesntMatch();
    }
    // The declared length is believed only as far as the file reaches.
    const size_t first = offset + kChunkHeaderSize;
    if (first > m_size) {
        m_dataOffset = m_size;
        m_sampleBytes = 0;
        return;
    }
    uint8_t declared[4];
    read(offset + kTagSize, declared, sizeof declared);
    m_dataOffset = first;
    m_sampleBytes = std::min<uint32_t>(readLe32(declared), m_size - static_cast<uint32_t>(first));
}

// The "data" chunk found by stepping from chunk to chunk after "fmt " (odd sizes padded), or
// kNotFound when the sizes lead nowhere.
size_t WaveFile::walkToData() const {
    uint64_t offset = kFmtOffset;
    uint8_t header[kChunkHeaderSize];
    while (readHeaderBytes(offset, header, sizeof header)) {
        if (offset >= kDataOffset && std::memcmp(header, "data", kTagSize) == 0) {
            return offset;
        }
        const uint32_t size = readLe32(header + kTagSize);
        offset += kChunkHeaderSize + uint64_t{size} + (size & 1);
        if (offset < kDataOffset) {
            return kNotFound;
        }
    }
    return kNotFound;
}

// The first "data" at or after offset 36 wherever it stands, for files whose chunk sizes are
// wrong: the way such files were always read.
size_t WaveFile::searchForData() const {
    constexpr size_t kBlock = 64 * 1024;
    std::string block;
    for (size_t offset = kDataOffset; offset + kTagSize <= m_size;
         offset += kBlock - (kTagSize - 1)) {
        block.resize(std::min<size_t>(kBlock, m_size - offset));
        read(offset, reinterpret_cast<uint8_t*>(block.data()), block.size());
        const size_t found = std::string_view(block).find("data");
        if (found != std::string_view::npos) {
            return offset + found;
        }
        if (block.size() < kBlock) {
            break;
        }
    }
    return kNotFound;
}

bool WaveFile::isPcm16() const {
    constexpr size_t kBitsAt = kChunkHeaderSize + 14;
    constexpr size_t kSubFormatAt = kChunkHeaderSize + 24;
    if (m_format.size() < kBitsAt + 2 || readLe16(m_format.data() + kBitsAt) != 16) {
        return false;
    }
    const uint16_t tag = readLe16(m_format.data() + kChunkHeaderSize);
    if (tag == kFormatExtensible) {
        return m_format.size() >= kSubFormatAt + 2 &&
               readLe16(m_format.data() + kSubFormatAt) == kFormatPcm;
    }
    return tag == kFormatPcm;
}

void WaveFile::read(size_t offset, uint8_t* into, size_t bytes) const {
    while (bytes > 0) {
        const ssize_t got = ::pread(m_file, into, bytes, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw WaveErrors::FileOperation();
        }
        into += got;
        offset += static_cast<size_t>(got);
        bytes -= static_cast<size_t>(got);
    }
}

void WaveFile::write(size_t offset, const uint8_t* from, size_t bytes) const {
    // A write past the end would lengthen a file someone else shortened: refuse instead.
    struct stat info {};
    if (::fstat(m_file, &info) != 0 || static_cast<uint64_t>(info.st_size) < offset + bytes) {
        throw WaveErrors::FileOperation();
    }
    while (bytes > 0) {
        const ssize_t put = ::pwrite(m_file, from, bytes, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            throw WaveErrors::FileOperation();
        }
        from += put;
        offset += static_cast<size_t>(put);
        bytes -= static_cast<size_t>(put);
    }
}

void WaveFile::close() {
    if (m_file >= 0) {
        ::close(m_file);
        m_file = -1;
    }
    m_size = 0;
    m_format.clear();
    m_dataOffset = 0;
    m_sampleBytes = 0;
}
