#include "cli/CliCommand.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "shell/ProgramFolder.h"

CliArgs::CliArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                 const std::set<std::string>& flags) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
            m_positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (valueOptions.count(arg)) {
            if (i + 1 >= args.size()) {
                throw CliUsageError(arg + " needs a value");
            }
            m_values[arg] = args[++i];
            continue;
        }
        if (!flags.count(arg)) {
            throw CliUsageError("unknown option " + arg);
        }
        m_flags.insert(arg);
    }
}

const std::string& CliArgs::positional(size_t index, const char* what) const {
    if (index >= m_positional.size()) {
        throw CliUsageError(std::string("missing ") + what);
    }
    return m_positional[index];
}

void CliArgs::expectPositionals(size_t min, size_t max) const {
    if (m_positional.size() < min) {
        throw CliUsageError("too few arguments");
    }
    if (m_positional.size() > max) {
        throw CliUsageError("unexpected argument " + m_positional[max]);
    }
}

bool CliArgs::has(const std::string& option) const {
    return m_flags.count(option) || m_values.count(option);
}

std::optional<std::string> CliArgs::value(const std::string& option) const {
    const auto it = m_values.find(option);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string CliArgs::value(const std::string& option, const std::string& def) const {
    return value(option).value_or(def);
}

long long CliArgs::number(const std::string& option, long long def) const {
    const auto text = value(option);
    if (!text) {
        return def;
    }
    long long result = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, result);
    if (ec != std::errc() || ptr != end) {
        throw CliUsageError(option + " takes a whole number, not \"" + *text + "\"");
    }
    return result;
}

const std::string& CliContext::programFolder() {
    if (m_programFolder.empty()) {
        std::string error;
        if (!ProgramFolder::start(m_homeOption, m_programFolder, &error)) {
            m_programFolder.clear();
            throw CliFailure("cannot use the program folder " + error);
        }
    }
    return m_programFolder;
}

namespace {

std::string dumped(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

void CliContext::printJson(const nlohmann::json& document) {
    std::cout << dumped(document) << '\n';
}

void CliContext::printJsonWithArray(const nlohmann::json& head, const char* key, size_t count,
                                    const std::function<nlohmann::json(size_t)>& element) {
    printJsonWithStream(head, key, [count, &element](const JsonSink& print) {
        for (size_t i = 0; i < count; ++i) {
            print(element(i));
        }
    });
}

void CliContext::printJsonWithStream(const nlohmann::json& head, const char* key,
                                     const std::function<void(const JsonSink&)>& produce) {
    std::string members = dumped(head.empty() ? nlohmann::json::object() : head);
    members.pop_back();  // the closing brace
    std::cout << members << (head.empty() ? "" : ",") << dumped(key) << ":[";
    bool first = true;
    produce([&first](const nlohmann::json& element) {
        std::cout << (first ? "" : ",") << dumped(element);
        first = false;
    });
    std::cout << "]}\n";
}

CliRegistry& CliRegistry::instance() {
    static CliRegistry registry;
    return registry;
}

void CliRegistry::add(CliCommand command) {
    m_commands.push_back(std::move(command));
    std::sort(m_commands.begin(), m_commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
}

const CliCommand* CliRegistry::find(const std::vector<std::string>& words, size_t& consumed) const {
    const CliCommand* best = nullptr;
    size_t bestWords = 0;
    for (const CliCommand& command : m_commands) {
        size_t n = 0;
        size_t pos = 0;
        bool matches = true;
        while (matches && pos <= command.name.size()) {
            const size_t space = std::min(command.name.find(' ', pos), command.name.size());
            matches = n < words.size() && words[n] == command.name.substr(pos, space - pos);
            ++n;
            pos = space + 1;
        }
        if (matches && n > bestWords) {
            best = &command;
            bestWords = n;
        }
    }
    consumed = bestWords;
    return best;
}
