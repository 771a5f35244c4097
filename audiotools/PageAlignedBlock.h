#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

// A buffer whose start is page-aligned. On some processors a copy of a large block (the
// kernel's copy to or from user memory, and the C library's own) runs five times slower when
// the destination is not aligned to a cache line, as heap blocks (16-byte aligned) often are not.
class PageAlignedBlock {
public:
    explicit PageAlignedBlock(size_t bytes)
        : m_bytes(static_cast<uint8_t*>(std::aligned_alloc(kPage, roundUp(bytes)))) {
        if (!m_bytes) {
            throw std::bad_alloc();
        }
    }
    uint8_t* data() const { return m_bytes.get(); }

private:
    static constexpr size_t kPage = 4096;
    static size_t roundUp(size_t bytes) {
        return (std::max<size_t>(bytes, 1) + kPage - 1) / kPage * kPage;
    }
    struct Free {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<uint8_t, Free> m_bytes;
};
