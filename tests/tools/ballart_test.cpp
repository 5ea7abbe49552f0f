// The committed ball pictures as the program decodes them: the strip's
// tiles where the board expects them, and nine balls that can be told apart
// also by a player who sees no colour.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/graphics.h"

namespace {

constexpr int T = 35;       // tile size
constexpr int kShown = 33;  // rows of a tile that are ever shown
constexpr uint32_t kGround = 0xD5D2CC;

std::unique_ptr<CImage> Load(const char* name) {
    std::ifstream in(std::filesystem::path(PARLOUR_SOURCE_DIR) / "res" / "images" / name,
                     std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    return DecodeBmp(bytes);
}

int Grey(uint32_t rgb) {
    return (299 * ((rgb >> 16) & 0xFF) + 587 * ((rgb >> 8) & 0xFF) + 114 * (rgb & 0xFF)) / 1000;
}

TEST(BallArt, StripHasTheGroundTheBallsTheDiscAndTheLightLine) {
    const auto strip = Load("133.bmp");
    ASSERT_TRUE(strip);
    ASSERT_EQ(strip->width, 11 * T);
    ASSERT_EQ(strip->height, T);
    for (int x = 0; x < strip->width; ++x) {
        for (int y = kShown; y < T; ++y) EXPECT_GT(Grey(strip->At(x, y)), 230) << x << "," << y;
        for (int y = 0; y < kShown; ++y) {
            const uint32_t p = strip->At(x, y);
            if (x < T) {
                EXPECT_EQ(p, kGround) << x << "," << y;  // the empty cell
            }
            if (x >= 10 * T) {
                EXPECT_TRUE(p == 0 || p == 0xFFFFFF) << x << "," << y;
            }
        }
    }
    for (int i = 1; i <= 9; ++i) {
        // Round on the ground: the corners are ground, the middle is not.
        EXPECT_EQ(strip->At(i * T, 0), kGround) << i;
        EXPECT_EQ(strip->At(i * T + T - 1, kShown - 1), kGround) << i;
        EXPECT_NE(strip->At(i * T + T / 2, kShown / 2), kGround) << i;
    }
    const auto disc = Load("131.bmp");
    ASSERT_TRUE(disc);
    EXPECT_EQ(disc->width, T);
    EXPECT_EQ(disc->height, T);
    EXPECT_EQ(disc->At(0, 0), 0u);
    EXPECT_EQ(disc->At(T / 2, T / 2), 0xFFFFFFu);
}

TEST(BallArt, NineBallsDifferAlsoInGrey) {
    const auto strip = Load("133.bmp");
    ASSERT_TRUE(strip);
    // A clear difference: a good number of pixels whose grey values lie far
    // apart, as the marks of their own shape make them.
    for (int a = 1; a <= 9; ++a) {
        for (int b = a + 1; b <= 9; ++b) {
            int differing = 0;
            for (int y = 0; y < kShown; ++y)
                for (int x = 0; x < T; ++x)
                    if (std::abs(Grey(strip->At(a * T + x, y)) - Grey(strip->At(b * T + x, y))) >
                        40)
                        ++differing;
            EXPECT_GE(differing, 12) << "balls " << a << " and " << b;
        }
    }
}

}  // namespace
