#pragma once

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending with "/".
    const std::string& path() const { return m_path; }
    // path() + name.
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs vocalia-cli with the arguments and waits for it (at most `timeoutMs`).
CliResult runCli(const std::vector<std::string>& args, int timeoutMs = 120000);
// The same with the tool's address space held to `bytes` (as `prlimit --as` does).
CliResult runCliWithin(size_t bytes, const std::vector<std::string>& args);
