#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The command-line tool's commands register themselves: each cli/*Commands.cpp defines
// `static const CliRegistration` objects. Exit status: 0 success, 1 failure, 2 usage error.

// A usage error (exit 2): wrong arguments.
struct CliUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A failure (exit 1): one line naming the file and the cause.
struct CliFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parsed arguments of one command: positionals and options. Options that take a value are
// declared up front; everything else that starts with "--" is a flag, checked against the
// declared flags. "--" ends the options; "-5" and "-" are positionals.
class CliArgs {
public:
    CliArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
            const std::set<std::string>& flags);

    const std::vector<std::string>& positional() const { return m_positional; }
    // The positional at `index`; a usage error names `what` when it is missing.
    const std::string& positional(size_t index, const char* what) const;
    // A usage error unless there are between `min` and `max` positionals.
    void expectPositionals(size_t min, size_t max) const;

    bool has(const std::string& option) const;
    std::optional<std::string> value(const std::string& option) const;
    std::string value(const std::string& option, const std::string& def) const;
    // Whole-number option; a usage error when the value is not a number.
    long long number(const std::string& option, long long def) const;

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
};

// Shared by every command: the global options, the program folder, output helpers.
class CliContext {
public:
    explicit CliContext(std::string homeOption) : m_homeOption(std::move(homeOption)) {}

    // Starts the program folder as the player does (points the settings at its configuration
    // and writes "App"/"AppPath") on first use, and returns it.
    const std::string& programFolder();

    static void printJson(const nlohmann::json& document);
    // Prints the object `head` with one more member, the array `key` of `count` elements made
    // one at a time by `element`: a long list never stands whole in memory as JSON.
    static void printJsonWithArray(const nlohmann::json& head, const char* key, size_t count,
                                   const std::function<nlohmann::json(size_t)>& element);
    // The same for a list of unknown length: `produce` hands each element to the printer it
    // is given, as it comes.
    using JsonSink = std::function<void(const nlohmann::json&)>;
    static void printJsonWithStream(const nlohmann::json& head, const char* key,
                                    const std::function<void(const JsonSink&)>& produce);

private:
    std::string m_homeOption;
    std::string m_programFolder;
};

struct CliCommand {
    std::string name;     // e.g. "ini get"
    std::string usage;    // arguments after the name, e.g. "FILE SECTION KEY [--default D]"
    std::string summary;  // one line
    std::function<int(const std::vector<std::string>& args, CliContext& context)> run;
};

class CliRegistry {
public:
    static CliRegistry& instance();
    void add(CliCommand command);
    // The command whose words begin `words`, longest name first; `consumed` words of it.
    const CliCommand* find(const std::vector<std::string>& words, size_t& consumed) const;
    const std::vector<CliCommand>& commands() const { return m_commands; }

private:
    std::vector<CliCommand> m_commands;
};

struct CliRegistration {
    explicit CliRegistration(CliCommand command) {
        CliRegistry::instance().add(std::move(command));
    }
};
