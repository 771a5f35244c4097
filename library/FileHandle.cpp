#include "library/FileHandle.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

FileHandle::FileHandle(const std::string& path, int flags, mode_t mode)
    : m_fd(::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode)) {
    struct stat st {};
    if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(m_fd);
        m_fd = -1;
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
}

std::string FileHandle::openError() {
    return errno == EINVAL ? "not a regular file" : std::strerror(errno);
}

off_t FileHandle::size() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        return -1;
    }
    return st.st_size;
}

bool FileHandle::isReadOnly() const {
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 && (st.st_mode & 0222) == 0;
}

size_t FileHandle::readAt(off_t offset, char* buffer, size_t length) const {
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, buffer + done, length - done, offset + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

bool FileHandle::writeAt(off_t offset, std::string_view bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, offset + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}
