// The desktop program's command line: --help, --version, --game NAME, and
// the toolkit's own options, which are handed on to it.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The command that picks the game to start on; 0 starts as always, on Klondike.
    unsigned game = 0;
    // What to print: the help or version text (standard output) or the error (standard error).
    std::string text;
    // The program name and the toolkit's options, for the toolkit.
    std::vector<std::string> toolkitArgs;
};

// The games' command-line names: their menu texts in lower case, in menu order,
// for every game this build can show. Needs the resources.
std::vector<std::pair<std::string, unsigned>> GameNames();

// Reads argv (argv[0] is the program). Needs the resources.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Exit status of a command line that cannot be used.
inline constexpr int kUsageError = 2;
