#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

class QProcess;

// Whether the tests and the programs they start are built with AddressSanitizer, which reserves
// terabytes of address space for its shadow memory: such a build cannot start under a limit on
// its address space.
#ifdef __SANITIZE_ADDRESS__
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif

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
// The same for another program, e.g. a copy of vocalia-cli elsewhere.
CliResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     int timeoutMs = 120000);
// The same with the tool's address space held to `bytes` (as `prlimit --as` does).
CliResult runCliWithin(size_t bytes, const std::vector<std::string>& args);
// Starts vocalia-cli (or another program) with the arguments in `process` and returns at once.
void startCli(QProcess& process, const std::vector<std::string>& args);
void startProgram(QProcess& process, const std::string& program,
                  const std::vector<std::string>& args);

// Points the process at a sound server that does not exist while it lives.
class NoSoundServer {
public:
    NoSoundServer() {
        if (const char* value = std::getenv("PULSE_SERVER")) {
            m_saved = value;
        }
        setenv("PULSE_SERVER", "unix:/nonexistent/pulse/native", 1);
    }
    ~NoSoundServer() {
        if (m_saved) {
            setenv("PULSE_SERVER", m_saved->c_str(), 1);
        } else {
            unsetenv("PULSE_SERVER");
        }
    }
    NoSoundServer(const NoSoundServer&) = delete;
    NoSoundServer& operator=(const NoSoundServer&) = delete;

private:
    std::optional<std::string> m_saved;
};
