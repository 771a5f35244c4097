#include "audiotools/PendingOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

PendingOutput::PendingOutput(std::string finalPath) : m_finalPath(std::move(finalPath)) {
    std::string pattern = m_finalPath + ".part-XXXXXX";
    const int file = ::mkstemp(pattern.data());
    if (file < 0) {
        m_error = std::strerror(errno);
        return;
    }
    // mkstemp keeps the file private; the output is an ordinary file for the user.
    ::fchmod(file, 0644);
    ::close(file);
    m_temporaryPath = pattern;
}

PendingOutput::~PendingOutput() {
    if (!m_temporaryPath.empty()) {
        std::remove(m_temporaryPath.c_str());
    }
}

bool PendingOutput::commit() {
    if (m_temporaryPath.empty()) {
        return false;
    }
    if (std::rename(m_temporaryPath.c_str(), m_finalPath.c_str()) != 0) {
        m_error = std::strerror(errno);
        return false;
    }
    m_temporaryPath.clear();
    return true;
}
