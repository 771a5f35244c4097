// The streaming limit for rewriting a file: read() of the whole file in 1 MiB chunks into one
// buffer and a memcpy of each chunk into a second, nothing more. Usage: read_copy_limit FILE.
// Both buffers are page-aligned, as the programs it is set beside use.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "audiotools/PageAlignedBlock.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_copy_limit FILE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    constexpr size_t kChunk = size_t{1} << 20;
    const PageAlignedBlock chunk(kChunk);
    const PageAlignedBlock copy(kChunk);
    ssize_t got = 0;
    while ((got = ::read(fd, chunk.data(), kChunk)) > 0) {
        std::memcpy(copy.data(), chunk.data(), static_cast<size_t>(got));
        // The copy is never read: keep the compiler from dropping it.
        asm volatile("" : : "r"(copy.data()) : "memory");
    }
    ::close(fd);
    if (got < 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
