#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

#include "app/game_table.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string NameList() {
    std::string list;
    const auto names = GameNames();
    for (size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i].first;
    return list;
}

std::string Usage(const std::string& program, std::string_view toolkitNote) {
    return "Usage: " + program +
           " [--game NAME] [--deal N]\n"
           "Parlour: five patience games and two ball-board games.\n"
           "\n"
           "  --game NAME   start on the game NAME: " +
           NameList() +
           "\n"
           "  --deal N      start on deal number N (0 to 4294967295) of that game\n"
           "  -h, --help    show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n" +
           std::string(toolkitNote) +
           "Hi scores are kept in $XDG_DATA_HOME/parlour/Scores.dat\n"
           "(~/.local/share/parlour/Scores.dat when XDG_DATA_HOME is not set).\n";
}

CommandLine Error(const std::string& program, const std::string& message) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.text = program + ": " + message + "\nTry '" + program + " --help' for more.\n";
    return line;
}

}  // namespace

std::vector<std::pair<std::string, unsigned>> GameNames() {
    std::vector<std::pair<std::string, unsigned>> names;
    for (const GameClass& game : GameClasses())
        names.emplace_back(Lower(game.name), game.commandId);
    return names;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const ToolkitOptions& toolkit) {
    const std::string program = args.empty() ? "parlour" : args.front();
    std::string shortName = program.substr(program.find_last_of('/') + 1);
    if (shortName.empty()) shortName = "parlour";
    CommandLine line;
    line.toolkitArgs.push_back(program);
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            return CommandLine{
                CommandLine::Action::Help, 0, Usage(shortName, toolkit.helpNote), {}, {}};
        } else if (arg == "--version") {
            return CommandLine{
                CommandLine::Action::Version, 0, "Parlour " PARLOUR_VERSION "\n", {}, {}};
        } else if (arg == "--game" || arg.starts_with("--game=")) {
            std::string given;
            if (arg != "--game")
                given = arg.substr(7);
            else if (i + 1 < args.size())
                given = args[++i];
            else
                return Error(shortName, "--game needs the name of a game");
            line.game = 0;
            for (const auto& [known, id] : GameNames())
                if (known == Lower(given)) line.game = id;
            if (!line.game)
                return Error(shortName,
                             "there is no game '" + given + "'; the games are " + NameList());
        } else if (arg == "--deal" || arg.starts_with("--deal=")) {
            std::string given;
            if (arg != "--deal")
                given = arg.substr(7);
            else if (i + 1 < args.size())
                given = args[++i];
            uint32_t deal = 0;
            const auto [end, error] =
                std::from_chars(given.data(), given.data() + given.size(), deal);
            if (given.empty() || error != std::errc() || end != given.data() + given.size())
                return Error(shortName, "--deal needs a deal number from 0 to 4294967295");
            line.deal = deal;
        } else if (std::ranges::find(toolkit.withValue, arg) != toolkit.withValue.end()) {
            if (i + 1 >= args.size()) return Error(shortName, arg + " needs a value");
            line.toolkitArgs.push_back(arg);
            line.toolkitArgs.push_back(args[++i]);
        } else if (std::ranges::find(toolkit.flags, arg) != toolkit.flags.end()) {
            line.toolkitArgs.push_back(arg);
        } else if (arg.starts_with("-")) {
            return Error(shortName, "unknown option '" + arg + "'");
        } else {
            return Error(shortName, "unexpected argument '" + arg + "'");
        }
    }
    return line;
}
