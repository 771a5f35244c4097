#include "audiotools/WaveFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <limits>

namespace {

constexpr size_t kFmtOffset = 12;
constexpr size_t kDataOffset = 36;
constexpr size_t kTagSize = 4;
constexpr size_t kChunkHeaderSize = 8;

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

WaveFile::WaveFile(const std::string& path) {
    try {
        map(path);
        parseHeader();
    } catch (...) {
        close();
        throw;
    }
}

WaveFile::~WaveFile() {
    close();
}

void WaveFile::map(const std::string& path) {
    m_mapped.file = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (m_mapped.file < 0) {
        throw WaveErrors::FileOperation();
    }
    // Other writers are kept out for as long as the file is mapped; readers are not. A file
    // that nobody may write is read-only even to the superuser, whose open succeeds regardless.
    struct stat info {};
    if (::flock(m_mapped.file, LOCK_EX | LOCK_NB) != 0 || ::fstat(m_mapped.file, &info) != 0 ||
        !S_ISREG(info.st_mode) || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        info.st_size <= 0 ||
        static_cast<uint64_t>(info.st_size) > std::numeric_limits<uint32_t>::max()) {
        throw WaveErrors::FileOperation();
    }
    const auto size = static_cast<size_t>(info.st_size);
    // Populating the view up front costs one call instead of a page fault per page.
    void* view =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, m_mapped.file, 0);
    if (view == MAP_FAILED) {
        throw WaveErrors::FileOperation();
    }
    m_mapped.view = static_cast<uint8_t*>(view);
    // Callers write every page. Making them all present and writable in one call spares a
    // write fault per page, which costs more than the processing itself. Kernels before 5.14
    // lack it, which costs only time.
    ::madvise(view, size, MADV_POPULATE_WRITE);
    m_mapped.size = static_cast<uint32_t>(size);
    m_cursor = m_mapped.view;
}

bool WaveFile::tagAt(size_t offset, const char* tag) const {
    return offset + kTagSize <= m_mapped.size &&
           std::memcmp(m_mapped.view + offset, tag, kTagSize) == 0;
}

void WaveFile::parseHeader() {
    m_riff = m_cursor;
    if (!tagAt(0, "RIFF")) {
        throw WaveErrors::RiffDoesntMatch();
    }
    if (!tagAt(8, "WAVE")) {
        throw WaveErrors::WaveDoesntMatch();
    }
    m_cursor = m_riff + kFmtOffset;
    m_fmt = m_cursor;
    if (!tagAt(kFmtOffset, "fmt ")) {
        throw WaveErrors::FmtDoesntMatch();
    }
    // The first "data" at or after offset 36 wins, wherever it stands: chunks are not walked.
    size_t offset = kDataOffset;
    while (!tagAt(offset, "data")) {
        if (offset + kTagSize >= m_mapped.size) {
            throw WaveErrors::DataDoesntMatch();
        }
        const void* next = std::memchr(m_mapped.view + offset + 1, 'd', m_mapped.size - offset - 1);
        if (!next) {
            throw WaveErrors::DataDoesntMatch();
        }
        offset = static_cast<size_t>(static_cast<const uint8_t*>(next) - m_mapped.view);
    }
    m_data = m_mapped.view + offset;
    // The declared length is believed only as far as the file reaches.
    const size_t first = offset + kChunkHeaderSize;
    if (first > m_mapped.size) {
        m_cursor = m_mapped.view + m_mapped.size;
        m_sampleBytes = 0;
        return;
    }
    m_cursor = m_mapped.view + first;
    const uint32_t declared = readLe32(m_data + kTagSize);
    m_sampleBytes = std::min<uint32_t>(declared, m_mapped.size - static_cast<uint32_t>(first));
}

void WaveFile::close() {
    if (m_mapped.view) {
        ::munmap(m_mapped.view, m_mapped.size);
        m_mapped.view = nullptr;
    }
    if (m_mapped.file >= 0) {
        ::close(m_mapped.file);
        m_mapped.file = -1;
    }
    m_mapped.size = 0;
    m_cursor = m_riff = m_fmt = m_data = nullptr;
}
