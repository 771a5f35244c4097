#include "shell/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Closes a file descriptor and, unless released, removes the temporary file it belongs to.
class TempFile {
public:
    explicit TempFile(std::string pattern) : m_path(std::move(pattern)) {
        std::vector<char> buf(m_path.begin(), m_path.end());
        buf.push_back('\0');
        m_fd = mkstemp(buf.data());
        m_path.assign(buf.data());
    }
    ~TempFile() {
        if (m_fd >= 0) {
            close(m_fd);
        }
        if (!m_kept) {
            unlink(m_path.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    bool closeFile() {
        const int rc = close(m_fd);
        m_fd = -1;
        return rc == 0;
    }
    void keep() { m_kept = true; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_kept = false;
};

bool fail(std::string* error, const std::string& what) {
    if (error) {
        *error = what + ": " + std::strerror(errno);
    }
    return false;
}

std::string resolveLink(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

mode_t modeFor(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    const std::string target = resolveLink(path);
    TempFile temp(target + ".tmp-XXXXXX");
    if (temp.fd() < 0) {
        return fail(error, target);
    }
    if (!writeAll(temp.fd(), bytes) || fchmod(temp.fd(), modeFor(target)) != 0 ||
        fsync(temp.fd()) != 0 || !temp.closeFile()) {
        return fail(error, target);
    }
    if (rename(temp.path().c_str(), target.c_str()) != 0) {
        return fail(error, target);
    }
    temp.keep();
    return true;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    // Non-blocking, so that a pipe or a device is refused below instead of waiting for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return fail(error, path);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return fail(error, path);
    }
    std::string content;
    content.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            close(fd);
            return fail(error, path);
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    bytes = std::move(content);
    return true;
}
