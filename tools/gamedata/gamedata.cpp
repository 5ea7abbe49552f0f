// Writes the files beside the program that list its games, from the game
// table (app/game_table.inc), at build time:
//
//   parlour-gamedata TEMPLATE OUTPUT
//
// copies TEMPLATE to OUTPUT with these marks filled in:
//   {{game names}}        each game's command-line name and a ';'
//   {{desktop actions}}   a line of its own: each game's desktop action
//   {{metainfo games}}    a line of its own: each game's item in the metainfo
#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

struct Game {
    const char* name;
    const char* what;
};

const Game kGames[] = {
#define GAME(command, name, group, View, caption, what) {name, what},
#include "app/game_table.inc"
#undef GAME
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Xml(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

void Fill(std::string& text, const std::string& mark, const std::string& with) {
    for (size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + with.size()))
        text.replace(at, mark.size(), with);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: parlour-gamedata TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "parlour-gamedata: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string text{std::istreambuf_iterator<char>(in), {}};
    std::string names, actions, items;
    for (const Game& game : kGames) {
        const std::string id = Lower(game.name);
        names += id + ";";
        actions += "\n[Desktop Action " + id + "]\nName=" + game.name + "\nExec=parlour --game " +
                   id + "\n";
        items += "      <li>" + Xml(game.name) + ": " + Xml(game.what) + "</li>\n";
    }
    Fill(text, "{{game names}}", names);
    Fill(text, "{{desktop actions}}\n", actions);
    Fill(text, "{{metainfo games}}\n", items);
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    if (!out.flush()) {
        std::cerr << "parlour-gamedata: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
