// The committed card pictures: they match their generator, their headers are
// well formed, and every card can be told from every other even when only the
// corner left showing by a fanned pile is visible.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kImages = fs::path(PARLOUR_SOURCE_DIR) / "res" / "images";

constexpr int kCardW = 25;
constexpr int kCardH = 34;

std::vector<std::uint8_t> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}
std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}
std::int32_t sle32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(le32(b, at));
}

std::string cardName(int n) {
    return "CARD" + std::to_string(n) + ".bmp";
}

// A decoded picture, one 0xRRGGBB value per pixel, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> px;
    std::uint32_t at(int x, int y) const { return px.at(static_cast<std::size_t>(y * width + x)); }
};

// Decodes the two layouts the game uses (4-bit palette and 24-bit, BI_RGB,
// bottom-up rows).
Picture decode(const std::vector<std::uint8_t>& b) {
    Picture p;
    p.width = sle32(b, 18);
    p.height = sle32(b, 22);
    const std::uint32_t bpp = le16(b, 28);
    const std::uint32_t offset = le32(b, 10);
    const std::uint32_t stride = ((static_cast<std::uint32_t>(p.width) * bpp + 31) / 32) * 4;
    p.px.resize(static_cast<std::size_t>(p.width * p.height));
    for (int y = 0; y < p.height; ++y) {
        const std::size_t row = offset + stride * static_cast<std::uint32_t>(p.height - 1 - y);
        for (int x = 0; x < p.width; ++x) {
            std::uint32_t rgb = 0;
            if (bpp == 4) {
                const std::uint8_t byte = b.at(row + static_cast<std::size_t>(x / 2));
                const std::uint32_t index = x % 2 == 0 ? byte >> 4 : byte & 0x0f;
                const std::size_t entry = 54 + index * 4;
                rgb = (b.at(entry + 2) << 16) | (b.at(entry + 1) << 8) | b.at(entry);
            } else {
                const std::size_t at = row + static_cast<std::size_t>(x) * 3;
                rgb = (b.at(at + 2) << 16) | (b.at(at + 1) << 8) | b.at(at);
            }
            p.px[static_cast<std::size_t>(y * p.width + x)] = rgb;
        }
    }
    return p;
}

Picture loadCard(int n) {
    return decode(readFile(kImages / cardName(n)));
}

std::vector<std::uint32_t> region(const Picture& p, int x0, int y0, int w, int h) {
    std::vector<std::uint32_t> out;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) out.push_back(p.at(x, y));
    return out;
}

std::set<std::string> bmpNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".bmp") names.insert(e.path().filename().string());
    return names;
}

std::set<std::string> expectedNames() {
    std::set<std::string> names = {"CARDBACK.bmp", "CARDEMPTY.bmp", "CARDDEAL.bmp",
                                   "ICON128.bmp",  "131.bmp",       "133.bmp"};
    for (int n = 1; n <= 52; ++n) names.insert(cardName(n));
    return names;
}

TEST(CardArt, GeneratorReproducesTheCommittedImages) {
    std::random_device rd;
    const fs::path out = fs::temp_directory_path() /
                         ("parlour-cardart-" + std::to_string(rd()) + std::to_string(rd()));
    const std::string command =
        std::string("\"") + PARLOUR_CARDART_EXE + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    EXPECT_EQ(bmpNames(out), expectedNames());
    EXPECT_EQ(bmpNames(kImages), expectedNames());
    for (const std::string& name : expectedNames()) {
        const auto fresh = readFile(out / name);
        ASSERT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == readFile(kImages / name))
            << name << " differs from its generator; rerun parlour-cardart res/images";
    }
    fs::remove_all(out);
}

struct HeaderCase {
    const char* name;
    int width, height, bpp;
};

TEST(CardArt, HeadersDescribeTheirPixels) {
    const std::array<std::uint8_t, 64> vga = {
        0x00, 0x00, 0x00, 0, 0x00, 0x00, 0x80, 0, 0x00, 0x80, 0x00, 0, 0x00, 0x80, 0x80, 0,
        0x80, 0x00, 0x00, 0, 0x80, 0x00, 0x80, 0, 0x80, 0x80, 0x00, 0, 0xc0, 0xc0, 0xc0, 0,
        0x80, 0x80, 0x80, 0, 0x00, 0x00, 0xff, 0, 0x00, 0xff, 0x00, 0, 0x00, 0xff, 0xff, 0,
        0xff, 0x00, 0x00, 0, 0xff, 0x00, 0xff, 0, 0xff, 0xff, 0x00, 0, 0xff, 0xff, 0xff, 0,
    };
    const HeaderCase cases[] = {
        {"CARD1.bmp", kCardW, kCardH, 4},
        {"CARD52.bmp", kCardW, kCardH, 4},
        {"CARDEMPTY.bmp", kCardW, kCardH, 4},
        {"CARDDEAL.bmp", kCardW, kCardH, 4},
        {"CARDBACK.bmp", kCardW, kCardH, 24},
        {"ICON128.bmp", 32, 32, 24},
        {"133.bmp", 385, 35, 8},
        {"131.bmp", 35, 35, 8},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto b = readFile(kImages / c.name);
        ASSERT_GE(b.size(), 54u);
        // An 8-bit picture carries the palette it needs, at most 256 colours.
        const std::uint32_t colours = c.bpp == 4 ? 16 : c.bpp == 8 ? le32(b, 46) : 0;
        if (c.bpp == 8) {
            EXPECT_TRUE(colours >= 2 && colours <= 256) << colours;
        }
        const std::uint32_t stride = ((static_cast<std::uint32_t>(c.width * c.bpp) + 31) / 32) * 4;
        const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(c.height);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(le32(b, 2), b.size());
        EXPECT_EQ(le32(b, 10), 54 + colours * 4);
        EXPECT_EQ(le32(b, 14), 40u);
        EXPECT_EQ(sle32(b, 18), c.width);
        EXPECT_EQ(sle32(b, 22), c.height);
        EXPECT_EQ(le16(b, 26), 1u);
        EXPECT_EQ(le16(b, 28), static_cast<std::uint32_t>(c.bpp));
        EXPECT_EQ(le32(b, 30), 0u);
        EXPECT_EQ(le32(b, 34), imageSize);
        EXPECT_EQ(le32(b, 38), 2835u);
        EXPECT_EQ(le32(b, 42), 2835u);
        EXPECT_EQ(le32(b, 46), colours);
        EXPECT_EQ(b.size(), 54 + colours * 4 + imageSize);
        if (c.bpp == 4) {
            ASSERT_GE(b.size(), 54u + 64u);
            EXPECT_TRUE(std::equal(vga.begin(), vga.end(), b.begin() + 54));
        }
    }
}

TEST(CardArt, EveryCardIsDistinctInItsFannedCorner) {
    std::vector<Picture> faces;
    for (int n = 1; n <= 52; ++n) faces.push_back(loadCard(n));
    for (int a = 0; a < 52; ++a) {
        for (int b = a + 1; b < 52; ++b) {
            EXPECT_NE(faces[a].px, faces[b].px) << cardName(a + 1) << " " << cardName(b + 1);
            EXPECT_NE(region(faces[a], 0, 0, 5, 9), region(faces[b], 0, 0, 5, 9))
                << "corners of " << cardName(a + 1) << " and " << cardName(b + 1);
        }
    }
}

TEST(CardArt, CornerInkFollowsTheSuitColour) {
    constexpr std::uint32_t kRed = 0xff0000;
    constexpr std::uint32_t kBlack = 0x000000;
    for (int n = 1; n <= 52; ++n) {
        SCOPED_TRACE(cardName(n));
        const int suit = (n - 1) / 13;
        const bool red = suit == 1 || suit == 2;
        // Inside the border of the corner that a fanned pile leaves showing.
        const auto corner = region(loadCard(n), 1, 1, 4, 8);
        const auto count = [&](std::uint32_t c) {
            return std::count(corner.begin(), corner.end(), c);
        };
        EXPECT_GT(count(red ? kRed : kBlack), 0);
        EXPECT_EQ(count(red ? kBlack : kRed), 0);
    }
}

}  // namespace
