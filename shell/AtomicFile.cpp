#include "shell/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
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

mode_t defaultMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The replacement takes over the old file's mode, owner and group. Only the superuser may give
// a file away; anyone may keep a group they belong to, so that is tried on its own.
bool takeOverAttributes(int fd, const struct stat* old) {
    if (old == nullptr) {
        return fchmod(fd, defaultMode()) == 0;
    }
    if (fchown(fd, old->st_uid, old->st_gid) != 0) {
        (void)fchown(fd, static_cast<uid_t>(-1), old->st_gid);
    }
    return fchmod(fd, old->st_mode & 07777) == 0;
}

// ".<name>.lock" beside the file: hidden, and kept, since removing a lock file would let two
// writers lock two different files.
std::string lockFileOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, name) + "." + path.substr(name) + ".lock";
}

// Holds an exclusive flock on a lock file until destroyed.
class LockFile {
public:
    explicit LockFile(const std::string& path)
        : m_fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        constexpr int kTries = 500;  // 5 s in steps of 10 ms: a stuck holder cannot hang us
        for (int i = 0; m_fd >= 0 && i < kTries; ++i) {
            if (flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_locked = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return;
            }
            usleep(10000);
        }
        errno = ETIMEDOUT;
    }
    ~LockFile() {
        if (m_fd >= 0) {
            close(m_fd);  // releases the lock
        }
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool locked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked = false;
};

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
    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && (old.st_mode & 0222) == 0) {
        errno = EACCES;
        return fail(error, target);
    }
    TempFile temp(target + ".tmp-XXXXXX");
    if (temp.fd() < 0) {
        return fail(error, target);
    }
    if (!writeAll(temp.fd(), bytes) || !takeOverAttributes(temp.fd(), exists ? &old : nullptr) ||
        fsync(temp.fd()) != 0 || !temp.closeFile()) {
        return fail(error, target);
    }
    if (rename(temp.path().c_str(), target.c_str()) != 0) {
        return fail(error, target);
    }
    temp.keep();
    return true;
}

bool updateFileAtomically(const std::string& path, const std::function<void(std::string&)>& change,
                          std::string* error) {
    const std::string target = resolveLink(path);
    const std::string lockPath = lockFileOf(target);
    const LockFile lock(lockPath);
    if (!lock.locked()) {
        return fail(error, lockPath);
    }
    std::string bytes;
    struct stat st {};
    const bool read = readWholeFile(target, bytes, error);
    if (!read && lstat(target.c_str(), &st) == 0) {
        return false;
    }
    const std::string before = read ? bytes : std::string();
    change(bytes);
    // A change that changes nothing leaves the file as it is, without a flush to the disk;
    // a read-only file is still refused.
    if (read && bytes == before && stat(target.c_str(), &st) == 0 && (st.st_mode & 0222) != 0) {
        return true;
    }
    return writeFileAtomically(target, bytes, error);
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
