#include "art.hpp"

#include <stdexcept>
#include <string_view>

#include "balls.hpp"

namespace cardart {

namespace {

// A glyph is a small picture given as rows of characters. '.' leaves the
// canvas alone, '#' paints the ink colour the glyph is drawn with, and a few
// letters paint fixed colours so that several-colour pictures stay readable.
using Glyph = std::vector<std::string_view>;

int glyphWidth(const Glyph& g) {
    return g.empty() ? 0 : static_cast<int>(g.front().size());
}
int glyphHeight(const Glyph& g) {
    return static_cast<int>(g.size());
}

Rgb colourOf(char ch, Rgb ink) {
    struct Paint {
        char ch;
        Rgb colour;
    };
    static constexpr Paint kPaints[] = {
        {'k', vga::kBlack}, {'w', vga::kWhite}, {'r', vga::kRed}, {'y', vga::kYellow}};
    if (ch == '#') return ink;
    for (const Paint& p : kPaints)
        if (p.ch == ch) return p.colour;
    throw std::invalid_argument("unknown glyph colour");
}

// Draws g with its top-left corner at (x, y). With turned set, the glyph is
// instead drawn where the half-turn of the canvas would carry it, upside down,
// as the second index of a playing card is.
void draw(Canvas& c, const Glyph& g, int x, int y, Rgb ink, bool turned = false) {
    for (int gy = 0; gy < glyphHeight(g); ++gy) {
        for (int gx = 0; gx < glyphWidth(g); ++gx) {
            const char ch = g[static_cast<std::size_t>(gy)][static_cast<std::size_t>(gx)];
            if (ch == '.') continue;
            const int px = x + gx;
            const int py = y + gy;
            if (turned)
                c.set(c.width() - 1 - px, c.height() - 1 - py, colourOf(ch, ink));
            else
                c.set(px, py, colourOf(ch, ink));
        }
    }
}

// --- the 3x5 letters -------------------------------------------------------

const Glyph& letter(char ch) {
    struct Letter {
        char ch;
        Glyph glyph;
    };
    // clang-format off
    static const Letter kLetters[] = {
        {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
        {'0', {"###", "#.#", "#.#", "#.#", "###"}},
        {'1', {".#", "##", ".#", ".#", ".#"}},  // narrow, so that "10" fits
        {'2', {"###", "..#", "###", "#..", "###"}},
        {'3', {"###", "..#", ".##", "..#", "###"}},
        {'4', {"#.#", "#.#", "###", "..#", "..#"}},
        {'5', {"###", "#..", "###", "..#", "###"}},
        {'6', {"###", "#..", "###", "#.#", "###"}},
        {'7', {"###", "..#", "..#", ".#.", ".#."}},
        {'8', {"###", "#.#", "###", "#.#", "###"}},
        {'9', {"###", "#.#", "###", "..#", "###"}},
        {'J', {"..#", "..#", "..#", "#.#", ".#."}},
        {'Q', {".#.", "#.#", "#.#", "##.", ".##"}},
        {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
        {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
        {'E', {"###", "#..", "##.", "#..", "###"}},
        {'L', {"#..", "#..", "#..", "#..", "###"}},
    };
    // clang-format on
    for (const Letter& l : kLetters)
        if (l.ch == ch) return l.glyph;
    throw std::invalid_argument("no glyph for letter");
}

// Draws text one pixel apart; returns the width it took.
int drawText(Canvas& c, std::string_view text, int x, int y, Rgb ink, bool turned = false) {
    int pen = x;
    for (char ch : text) {
        const Glyph& g = letter(ch);
        draw(c, g, pen, y, ink, turned);
        pen += glyphWidth(g) + 1;
    }
    return pen - x - 1;
}

int textWidth(std::string_view text) {
    int w = -1;
    for (char ch : text) w += glyphWidth(letter(ch)) + 1;
    return w;
}

// --- suits -----------------------------------------------------------------

enum Suit { kClubs, kDiamonds, kHearts, kSpades };

const Glyph& smallSuit(int suit) {
    // clang-format off
    static const Glyph clubs = {
        ".###.",
        ".###.",
        "##.##",
        "#####",
        "..#..",
    };
    static const Glyph diamonds = {
        "..#..",
        ".###.",
        "#####",
        ".###.",
        "..#..",
    };
    static const Glyph hearts = {
        "##.##",
        "#####",
        "#####",
        ".###.",
        "..#..",
    };
    static const Glyph spades = {
        "..#..",
        ".###.",
        "#####",
        "#####",
        "..#..",
    };
    // clang-format on
    static const Glyph* const kBySuit[] = {&clubs, &diamonds, &hearts, &spades};
    return *kBySuit[suit];
}

const Glyph& bigSuit(int suit) {
    // clang-format off
    static const Glyph clubs = {
        "....###....",
        "...#####...",
        "...#####...",
        "...#####...",
        ".##.###.##.",
        "####.#.####",
        "###########",
        "####.#.####",
        ".##..#..##.",
        ".....#.....",
        "....###....",
    };
    static const Glyph diamonds = {
        ".....#.....",
        "....###....",
        "...#####...",
        "..#######..",
        ".#########.",
        "###########",
        ".#########.",
        "..#######..",
        "...#####...",
        "....###....",
        ".....#.....",
    };
    static const Glyph hearts = {
        ".###...###.",
        "#####.#####",
        "###########",
        "###########",
        "###########",
        ".#########.",
        "..#######..",
        "...#####...",
        "....###....",
        ".....#.....",
    };
    static const Glyph spades = {
        ".....#.....",
        "....###....",
        "...#####...",
        "..#######..",
        ".#########.",
        "###########",
        "###########",
        ".###.#.###.",
        ".....#.....",
        "....###....",
    };
    // clang-format on
    static const Glyph* const kBySuit[] = {&clubs, &diamonds, &hearts, &spades};
    return *kBySuit[suit];
}

Rgb suitInk(int suit) {
    return suit == kDiamonds || suit == kHearts ? vga::kRed : vga::kBlack;
}

std::string_view rankText(int rank) {
    static constexpr std::string_view kRanks[13] = {"A", "2", "3",  "4", "5", "6", "7",
                                                    "8", "9", "10", "J", "Q", "K"};
    return kRanks[rank];
}

// --- the cards -------------------------------------------------------------

Canvas blankCard() {
    Canvas c(kCardWidth, kCardHeight, vga::kWhite);
    c.frameRect(0, 0, kCardWidth, kCardHeight, vga::kBlack);
    return c;
}

// Rank with the small suit beside it (seen when cards are fanned downward) and
// again beneath it (seen when they are fanned to the right).
void drawIndex(Canvas& c, int rank, int suit, bool turned) {
    const Rgb ink = suitInk(suit);
    const std::string_view text = rankText(rank);
    const int x = 2;
    const int w = drawText(c, text, x, 2, ink, turned);
    draw(c, smallSuit(suit), x + w + 2, 2, ink, turned);
    draw(c, smallSuit(suit), 1, 8, ink, turned);
}

void drawCentred(Canvas& c, const Glyph& g, Rgb ink) {
    draw(c, g, (c.width() - glyphWidth(g)) / 2, (c.height() - glyphHeight(g)) / 2, ink);
}

// The court figures, 7 x 13: headwear, face and shoulders.
const Glyph& figure(int rank) {
    // clang-format off
    static const Glyph jack = {
        "....##.",
        "...##..",
        ".#####.",
        "#######",
        ".wwwww.",
        ".wkwkw.",
        ".wwwww.",
        "..wrw..",
        "...w...",
        "##...##",
        "###.###",
        "#######",
        "#######",
    };
    static const Glyph queen = {
        "...#...",
        ".#.#.#.",
        "#######",
        "kwwwwwk",
        "kwkwkwk",
        "kwwwwwk",
        "kwwrwwk",
        "k.www.k",
        "...w...",
        "##...##",
        "###y###",
        "#######",
        "#######",
    };
    static const Glyph king = {
        "#.#.#.#",
        "#######",
        "#y#y#y#",
        "#######",
        ".wwwww.",
        ".wkwkw.",
        ".wwwww.",
        ".kkkkk.",
        "#.kkk.#",
        "##.k.##",
        "###.###",
        "#######",
        "#######",
    };
    // clang-format on
    return rank == 10 ? jack : rank == 11 ? queen : king;
}

// Jack, queen and king: the figure in a framed yellow panel.
void drawCourt(Canvas& c, int rank, int suit) {
    const Rgb ink = suitInk(suit);
    c.frameRect(7, 9, 11, 16, ink);
    c.fillRect(8, 10, 9, 14, vga::kYellow);
    draw(c, figure(rank), 9, 11, ink);
}

// Harlequin diamonds in two blues, edged in a light blue with a bright stud
// where the edges cross, centred on the rectangle.
void drawLattice(Canvas& c, int x0, int y0, int w, int h) {
    const Rgb dark{0x14, 0x2c, 0x88};
    const Rgb light{0x24, 0x48, 0xb8};
    const Rgb edge{0x70, 0xa0, 0xec};
    const Rgb stud{0xf0, 0xf4, 0xff};
    constexpr int kPeriod = 6;
    constexpr int kBias = 100 * kPeriod;  // keeps the sums positive
    const int cx = x0 + w / 2;
    const int cy = y0 + h / 2;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const int s = (x - cx) + (y - cy) + kBias + kPeriod / 2;
            const int d = (x - cx) - (y - cy) + kBias + kPeriod / 2;
            const int u = s % kPeriod;
            const int v = d % kPeriod;
            Rgb p = (s / kPeriod + d / kPeriod) % 2 == 0 ? dark : light;
            if (u == 0 || v == 0) p = edge;
            if (u == 0 && v == 0) p = stud;
            c.set(x, y, p);
        }
    }
}

}  // namespace

Canvas drawFace(int index) {
    if (index < 0 || index >= 52) throw std::out_of_range("card index");
    const int suit = index / 13;
    const int rank = index % 13;
    Canvas c = blankCard();
    drawIndex(c, rank, suit, false);
    drawIndex(c, rank, suit, true);
    if (rank >= 10) {
        drawCourt(c, rank, suit);
    } else {
        drawCentred(c, bigSuit(suit), suitInk(suit));
    }
    return c;
}

Canvas drawBack() {
    const Rgb outline{0x10, 0x18, 0x50};
    const Rgb rim{0x58, 0x8c, 0xe0};
    Canvas c(kCardWidth, kCardHeight, vga::kWhite);
    c.frameRect(0, 0, kCardWidth, kCardHeight, outline);
    drawLattice(c, 3, 3, kCardWidth - 6, kCardHeight - 6);
    c.frameRect(2, 2, kCardWidth - 4, kCardHeight - 4, rim);
    return c;
}

Canvas drawEmpty() {
    Canvas c(kCardWidth, kCardHeight, vga::kDarkRed);
    c.frameRect(0, 0, kCardWidth, kCardHeight, vga::kGrey);
    return c;
}

Canvas drawDeal() {
    Canvas c(kCardWidth, kCardHeight, vga::kDarkRed);
    c.frameRect(0, 0, kCardWidth, kCardHeight, vga::kGreen);
    drawText(c, "DEAL", (kCardWidth - textWidth("DEAL")) / 2, (kCardHeight - 5) / 2, vga::kBlack);
    return c;
}

Canvas drawIcon() {
    const Rgb felt{0x10, 0x70, 0x34};
    const Rgb shade{0x0a, 0x50, 0x24};
    Canvas c(kIconSize, kIconSize, felt);
    // A card back, and the ace of spades lying across it; both cast a shadow.
    c.fillRect(4, 3, 16, 23, shade);
    c.fillRect(2, 2, 16, 23, vga::kWhite);
    c.frameRect(2, 2, 16, 23, vga::kBlack);
    drawLattice(c, 4, 4, 12, 19);
    c.fillRect(15, 9, 16, 23, shade);
    c.fillRect(13, 7, 16, 23, vga::kWhite);
    c.frameRect(13, 7, 16, 23, vga::kBlack);
    drawText(c, "A", 15, 9, vga::kBlack);
    draw(c, bigSuit(kSpades), 16, 14, vga::kBlack);
    return c;
}

std::vector<OutputFile> renderAll() {
    std::vector<OutputFile> files;
    for (int i = 0; i < 52; ++i)
        files.push_back({"CARD" + std::to_string(i + 1) + ".bmp", encodeBmp4(drawFace(i))});
    files.push_back({"CARDBACK.bmp", encodeBmp24(drawBack())});
    files.push_back({"CARDEMPTY.bmp", encodeBmp4(drawEmpty())});
    files.push_back({"CARDDEAL.bmp", encodeBmp4(drawDeal())});
    files.push_back({"ICON128.bmp", encodeBmp24(drawIcon())});
    // The ball games' pictures go by their resource numbers.
    files.push_back({"133.bmp", encodeBmp8(drawBallStrip(), ballPalette())});
    files.push_back({"131.bmp", encodeBmp8(drawBallDisc(), discPalette())});
    return files;
}

}  // namespace cardart
