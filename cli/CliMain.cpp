// The command line of both programs of the tool: vocalia-cli [--home DIR] COMMAND [ARGS].

#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliProgram.h"

namespace {

void printOverview(std::ostream& out) {
    out << "usage: vocalia-cli [--home DIR] COMMAND [ARGS]\n"
           "       vocalia-cli COMMAND --help\n\ncommands:\n";
    for (const CliCommand& command : CliRegistry::instance().commands()) {
        out << "  " << command.name << " " << command.usage << "\n      " << command.summary
            << "\n";
    }
}

bool wantsHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            return false;
        }
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

int failed(const CliCommand& command, const std::exception& e) {
    std::cerr << "vocalia-cli " << command.name << ": " << e.what() << "\n";
    return 1;
}

}  // namespace

int runCommandLine(int argc, char** argv, CliHandOff handOff) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string home;
    if (args.size() >= 2 && args[0] == "--home") {
        home = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::ostream& out = args.empty() ? std::cerr : std::cout;
        if (handOff) {
            // Only the program with every command can list them all; without it, the core ones.
            const int status = handOff(argv, home, "the list of all commands");
            printOverview(out);
            return status;
        }
        printOverview(out);
        return args.empty() ? 2 : 0;
    }
    size_t consumed = 0;
    const CliCommand* command = CliRegistry::instance().find(args, consumed);
    if (!command) {
        if (handOff) {
            return handOff(argv, home, args[0]);
        }
        std::cerr << "vocalia-cli: unknown command \"" << args[0] << "\"\n";
        printOverview(std::cerr);
        return 2;
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(consumed));
    if (wantsHelp(args)) {
        std::cout << "usage: vocalia-cli " << command->name << " " << command->usage << "\n"
                  << command->summary << "\n";
        return 0;
    }
    CliContext context(home);
    try {
        return command->run(args, context);
    } catch (const CliUsageError& e) {
        std::cerr << "vocalia-cli " << command->name << ": " << e.what() << "\nusage: vocalia-cli "
                  << command->name << " " << command->usage << "\n";
        return 2;
    } catch (const CliNeedsMedia& e) {
        return handOff ? handOff(argv, home, command->name) : failed(*command, e);
    } catch (const std::bad_alloc&) {
        std::cerr << "vocalia-cli " << command->name << ": not enough memory for this input\n";
        return 1;
    } catch (const std::exception& e) {
        return failed(*command, e);
    }
}
