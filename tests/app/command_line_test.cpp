// The program's command line, as every host reads it: a game by its name,
// --help and --version, the host toolkit's options handed on, and what it
// refuses.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/desktop_settings.h"
#include "app/game_table.h"
#include "res/resource.h"

namespace {

TEST(CommandLine, NamesEveryGameOfTheTableInAnyCase) {
    const std::string help = ParseCommandLine({"parlour", "--help"}).text;
    for (const GameClass& game : GameClasses()) {
        std::string lower = game.name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(ParseCommandLine({"parlour", "--game", game.name}).game, game.commandId);
        EXPECT_EQ(ParseCommandLine({"parlour", "--game=" + lower}).game, game.commandId);
        EXPECT_NE(help.find(lower), std::string::npos) << lower;
    }
    const CommandLine plain = ParseCommandLine({"parlour"});
    EXPECT_EQ(plain.action, CommandLine::Action::Run);
    EXPECT_EQ(plain.game, 0u);  // the program opens on its first game
}

TEST(CommandLine, AnswersHelpAndVersionAndRefusesWhatItDoesNotKnow) {
    const CommandLine help = ParseCommandLine({"/usr/bin/parlour", "--game", "golf", "-h"});
    EXPECT_EQ(help.action, CommandLine::Action::Help);
    EXPECT_TRUE(help.text.starts_with("Usage: parlour [--game NAME] [--deal N]\n")) << help.text;
    const CommandLine version = ParseCommandLine({"parlour", "--version", "--bogus"});
    EXPECT_EQ(version.action, CommandLine::Action::Version);
    EXPECT_EQ(version.text, "Parlour " PARLOUR_VERSION "\n");
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--game", "patience"}, "there is no game 'patience'; the games are "},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--game"}, "--game needs the name of a game"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"-platform", "offscreen"}, "unknown option '-platform'"},  // no toolkit here
        {{"--deal"}, "--deal needs a deal number from 0 to 4294967295"},
        {{"--deal", "4294967296"}, "--deal needs a deal number from 0 to 4294967295"},
        {{"--deal=-1"}, "--deal needs a deal number from 0 to 4294967295"},
        {{"--deal", "12x"}, "--deal needs a deal number from 0 to 4294967295"},
    };
    for (const auto& [args, complaint] : refused) {
        std::vector<std::string> line{"bin/parlour"};
        line.insert(line.end(), args.begin(), args.end());
        const CommandLine error = ParseCommandLine(line);
        EXPECT_EQ(error.action, CommandLine::Action::Error) << complaint;
        EXPECT_EQ(error.text.rfind("parlour: " + complaint, 0), 0u) << error.text;
        EXPECT_TRUE(error.text.ends_with("\nTry 'parlour --help' for more.\n")) << error.text;
    }
}

TEST(CommandLine, TakesTheDealToStartOn) {
    const std::pair<std::vector<std::string>, std::optional<uint32_t>> lines[] = {
        {{"parlour"}, std::nullopt},
        {{"parlour", "--deal", "0"}, 0u},
        {{"parlour", "--game", "spider", "--deal=4294967295"}, 4294967295u},
        {{"parlour", "--deal", "7", "--deal", "12"}, 12u},  // the last one given
    };
    for (const auto& [args, deal] : lines) {
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.action, CommandLine::Action::Run);
        EXPECT_EQ(line.deal, deal) << args.back();
    }
}

// What the desktop remembers reads back as written; anything else in the
// file gives the defaults, never some of what it says.
TEST(DesktopSettings, ReadBackAsWrittenAndDefaultsForAnythingElse) {
    const DesktopSettings kept{ID_GAME_SPIDER, 3, 720, 882};
    EXPECT_EQ(FormatDesktopSettings(kept), "game=spider\nzoom=3\nsize=720x882\n");
    EXPECT_EQ(ParseDesktopSettings(FormatDesktopSettings(kept)), kept);
    EXPECT_EQ(ParseDesktopSettings("zoom=2\n"), (DesktopSettings{0, 2, 0, 0}));
    const DesktopSettings maximized{ID_GAME_GOLF, 4, 725, 600, true, true};
    EXPECT_EQ(FormatDesktopSettings(maximized),
              "game=golf\nzoom=4\nsize=725x600\nmaximized=yes\nwinnable=yes\n");
    EXPECT_EQ(ParseDesktopSettings(FormatDesktopSettings(maximized)), maximized);
    for (const char* text :
         {"game=patience\n", "game=spider\nzoom=0\n", "zoom=2", "size=720\n", "size=0x5\n",
          "size=720x882x1\n", "zoom=-1\n", "colour=red\n", "game=spider\nzoom=3\nzoom=x\n",
          "maximized=no\n", "winnable=1\n", "\x7f\x45LF"})
        EXPECT_EQ(ParseDesktopSettings(text), DesktopSettings()) << text;
}

TEST(CommandLine, HandsTheHostToolkitsOwnOptionsOn) {
    constexpr std::string_view withValue[] = {"-display"};
    constexpr std::string_view flags[] = {"-sync"};
    const ToolkitOptions toolkit{withValue, flags, "The toolkit's note.\n"};
    const CommandLine line =
        ParseCommandLine({"parlour", "-display", ":1", "--game", "Gemfield", "-sync"}, toolkit);
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.game, ID_GAME_GEMFIELD);
    EXPECT_EQ(line.toolkitArgs, (std::vector<std::string>{"parlour", "-display", ":1", "-sync"}));
    EXPECT_EQ(ParseCommandLine({"parlour", "-sync", "-display"}, toolkit).text,
              "parlour: -display needs a value\nTry 'parlour --help' for more.\n");
    EXPECT_NE(ParseCommandLine({"parlour", "--help"}, toolkit)
                  .text.find("\n\nThe toolkit's note.\nHi scores are kept in "),
              std::string::npos);
}

}  // namespace
