#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <string>
#include <string_view>

// An open file descriptor, closed by the destructor.
class FileHandle {
public:
    // Opens `path` with open(2) flags. Only regular files are opened: a folder, a device or a
    // pipe (which could block the opening) is refused.
    FileHandle(const std::string& path, int flags, mode_t mode = 0666);
    ~FileHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why the last opening failed (from errno), for messages.
    static std::string openError();
    int fd() const { return m_fd; }
    // The file's size in bytes, -1 when unknown.
    off_t size() const;
    // No one may write the file (no write bit at all): its owner made it read-only, and even
    // the superuser leaves it alone.
    bool isReadOnly() const;
    // Reads up to `length` bytes at `offset`, retrying short reads; the count read (0 on error).
    size_t readAt(off_t offset, char* buffer, size_t length) const;
    // Writes all bytes at `offset`; false on any failure.
    bool writeAt(off_t offset, std::string_view bytes) const;

private:
    int m_fd;
};
