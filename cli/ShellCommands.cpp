// Commands of the settings store and the program folder.

#include <charconv>
#include <iostream>

#include "cli/CliCommand.h"
#include "shell/IniFile.h"
#include "shell/ProgramFolder.h"

namespace {

std::string formatDouble(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

int parseIntArgument(const std::string& text, const char* what) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        throw CliUsageError(std::string(what) + " must be a whole number, not \"" + text + "\"");
    }
    return value;
}

double parseDoubleArgument(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        throw CliUsageError("VALUE must be a number, not \"" + text + "\"");
    }
    return value;
}

void rejectBothTypes(const CliArgs& args) {
    if (args.has("--int") && args.has("--double")) {
        throw CliUsageError("--int and --double exclude each other");
    }
}

int iniGet(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--default"}, {"--int", "--double"});
    args.expectPositionals(3, 3);
    rejectBothTypes(args);
    const CIniFile ini(args.positional(0, "FILE").c_str());
    const std::string& section = args.positional(1, "SECTION");
    const std::string& key = args.positional(2, "KEY");
    const auto def = args.value("--default");
    if (args.has("--int")) {
        const int fallback = def ? parseIntArgument(*def, "--default") : 0;
        std::cout << ini.ReadInt(section.c_str(), key.c_str(), fallback) << '\n';
    } else if (args.has("--double")) {
        const double fallback = def ? parseDoubleArgument(*def) : 0.0;
        std::cout << formatDouble(ini.ReadDouble(section.c_str(), key.c_str(), fallback)) << '\n';
    } else {
        std::cout << ini.ReadString(section.c_str(), key.c_str(), def ? def->c_str() : nullptr)
                  << '\n';
    }
    return 0;
}

int iniSet(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--precision"}, {"--int", "--double"});
    args.expectPositionals(4, 4);
    rejectBothTypes(args);
    if (args.has("--precision") && !args.has("--double")) {
        throw CliUsageError("--precision goes with --double");
    }
    const std::string& file = args.positional(0, "FILE");
    const CIniFile ini(file.c_str());
    const std::string& section = args.positional(1, "SECTION");
    const std::string& key = args.positional(2, "KEY");
    const std::string& value = args.positional(3, "VALUE");
    int ok = 0;
    if (args.has("--int")) {
        ok = ini.WriteInt(section.c_str(), key.c_str(), parseIntArgument(value, "VALUE"));
    } else if (args.has("--double")) {
        const auto precision = static_cast<int>(args.number("--precision", -1));
        ok = ini.WriteDouble(section.c_str(), key.c_str(), parseDoubleArgument(value), precision);
    } else {
        ok = ini.WriteString(section.c_str(), key.c_str(), value.c_str());
    }
    if (!ok) {
        throw CliFailure(file + ": cannot write the configuration file");
    }
    return 0;
}

int home(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(0, 0);
    std::cout << context.programFolder() << '\n';
    return 0;
}

const CliRegistration kIniGet({"ini get", "FILE SECTION KEY [--default D] [--int | --double]",
                               "Prints a value of an INI file as the settings store reads it.",
                               iniGet});
const CliRegistration kIniSet({"ini set",
                               "FILE SECTION KEY VALUE [--int | --double [--precision N]]",
                               "Writes a value into an INI file as the settings store writes it.",
                               iniSet});
const CliRegistration kHome({"home", "",
                             "Prints the program folder start-up would use and writes "
                             "\"App\"/\"AppPath\" into its configuration.",
                             home});

}  // namespace
