// The program's command line, for every host: --help, --version, --game NAME,
// --deal N,
// and the options the host's toolkit reads itself, which are handed on to it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The options a host's toolkit reads itself.
struct ToolkitOptions {
    std::span<const std::string_view> withValue;  // each takes the next argument too
    std::span<const std::string_view> flags;
    std::string_view helpNote;  // what --help says of them, a whole line
};

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The command that picks the game to start on; 0 starts as always, on Klondike.
    unsigned game = 0;
    // What to print: the help or version text (standard output) or the error (standard error).
    std::string text;
    // The program name and the toolkit's options, for the toolkit.
    std::vector<std::string> toolkitArgs;
    // The deal to start on (--deal N), of the game started on.
    std::optional<uint32_t> deal;
};

// The games' command-line names: their menu texts in lower case, in the game
// table's order, each with the command that picks the game.
std::vector<std::pair<std::string, unsigned>> GameNames();

// Reads argv (argv[0] is the program).
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const ToolkitOptions& toolkit = {});

// Exit status of a command line that cannot be used.
inline constexpr int kUsageError = 2;
