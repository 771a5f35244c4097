#pragma once

#include <string>

// An output file written under a temporary name in its own folder and renamed onto its real
// name only by commit(), so that a failed run leaves no half-written output and an existing
// file stays as it was. The temporary file goes when the object does, unless committed.
class PendingOutput {
public:
    explicit PendingOutput(std::string finalPath);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    // False when the temporary file could not be created (the folder is missing or not
    // writable); error() says why.
    bool created() const { return !m_temporaryPath.empty(); }
    const std::string& error() const { return m_error; }
    const std::string& temporaryPath() const { return m_temporaryPath; }
    // Renames the temporary file onto the final path. False with error() set when it fails.
    bool commit();

private:
    std::string m_finalPath;
    std::string m_temporaryPath;
    std::string m_error;
};
