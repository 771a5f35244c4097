#include "tests/support/TestSupport.h"

#include <sys/resource.h>

#include <QProcess>
#include <QStringList>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vocalia-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void startProgram(QProcess& process, const std::string& program,
                  const std::vector<std::string>& args) {
    QStringList arguments;
    for (const std::string& arg : args) {
        arguments << QString::fromStdString(arg);
    }
    process.start(QString::fromStdString(program), arguments);
}

void startCli(QProcess& process, const std::vector<std::string>& args) {
    startProgram(process, VOCALIA_CLI_PATH, args);
}

namespace {

CliResult runCliProcess(QProcess& process, const std::vector<std::string>& args, int timeoutMs,
                        const std::string& program = VOCALIA_CLI_PATH) {
    startProgram(process, program, args);
    CliResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = program + " did not finish in time";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

}  // namespace

CliResult runCli(const std::vector<std::string>& args, int timeoutMs) {
    QProcess process;
    return runCliProcess(process, args, timeoutMs);
}

CliResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     int timeoutMs) {
    QProcess process;
    return runCliProcess(process, args, timeoutMs, program);
}

CliResult runCliWithin(size_t bytes, const std::vector<std::string>& args) {
    QProcess process;
    process.setChildProcessModifier([bytes] {
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
    });
    return runCliProcess(process, args, 120000);
}
