#include "balls.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace cardart {

namespace {

struct Ball {
    Rgb base;
    char mark;  // the shape that tells it apart without its colour
};

// Tile order: 1 red .. 9 orange. Each mark is a different simple shape.
constexpr std::array<Ball, 9> kBalls = {{
    {{214, 32, 32}, 'o'},    // red: a dot
    {{34, 164, 48}, 's'},    // green: a square
    {{40, 72, 214}, '^'},    // blue: a triangle
    {{240, 208, 28}, 'd'},   // yellow: a diamond
    {{30, 196, 206}, '+'},   // cyan: a plus
    {{196, 48, 196}, 'x'},   // magenta: a cross
    {{236, 236, 236}, 'r'},  // white: a ring
    {{128, 128, 128}, 'q'},  // grey: a hollow square
    {{246, 136, 20}, '='},   // orange: two bars
}};

constexpr Rgb kLightLine = {246, 246, 246};
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};

// A ball is shaded along one scale: 0.3 (the dark rim) .. 1 (its own colour)
// .. 1.9 (the white highlight), in kShades steps, so that a whole strip fits
// an 8-bit palette.
constexpr int kShades = 24;
constexpr double kLow = 0.3, kHigh = 1.9;

std::uint8_t channel(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

Rgb shade(Rgb base, int step) {
    const double v = kLow + (kHigh - kLow) * step / (kShades - 1);
    if (v <= 1) return {channel(base.r * v), channel(base.g * v), channel(base.b * v)};
    const double t = (v - 1) / (kHigh - 1);
    return {channel(base.r + (255 - base.r) * t), channel(base.g + (255 - base.g) * t),
            channel(base.b + (255 - base.b) * t)};
}

int stepOf(double v) {
    return std::clamp(static_cast<int>(std::lround((v - kLow) / (kHigh - kLow) * (kShades - 1))), 0,
                      kShades - 1);
}

// The edge, where the ball only partly covers a pixel: its rim shade over
// the ground, a third and two thirds of the way.
Rgb edge(Rgb base, int part) {
    const Rgb rim = shade(base, stepOf(0.55));
    auto mix = [&](std::uint8_t a, std::uint8_t b) {
        return channel((a * (3 - part) + b * part) / 3.0);
    };
    return {mix(kBallGround.r, rim.r), mix(kBallGround.g, rim.g), mix(kBallGround.b, rim.b)};
}

// Light balls carry a dark mark, dark balls a light one.
Rgb markColour(Rgb base) {
    const double luma = 0.299 * base.r + 0.587 * base.g + 0.114 * base.b;
    return shade(base, stepOf(luma > 110 ? 0.42 : 1.62));
}

// Ball centre and radius in pixel coordinates of the shown 35 x 33 area.
constexpr double kCx = 17.5, kCy = 16.5, kRadius = 15.6;

// Share of the pixel (x, y) that the disc of radius r around (cx, cy)
// covers, from 4 x 4 samples.
double coverage(int x, int y, double cx, double cy, double r) {
    int inside = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            const double dx = x + (i + 0.5) / 4 - cx, dy = y + (j + 0.5) / 4 - cy;
            if (dx * dx + dy * dy <= r * r) ++inside;
        }
    return inside / 16.0;
}

// Whether the mark covers pixel (x, y); the mark sits in a 9 x 9 box around
// the ball's middle, a little below the highlight.
bool inMark(char mark, int x, int y) {
    const int mx = x - 13, my = y - 13;  // 0..8 inside the box
    if (mx < 0 || my < 0 || mx > 8 || my > 8) return false;
    const int ax = std::abs(mx - 4), ay = std::abs(my - 4);
    switch (mark) {
        case 'o':
            return ax * ax + ay * ay <= 10;
        case 's':
            return ax <= 3 && ay <= 3;
        case '^':
            return my >= 1 && my <= 7 && 3 * ax <= 2 * (my - 1);
        case 'd':
            return ax + ay <= 4;
        case '+':
            return ax <= 1 || ay <= 1;
        case 'x':
            return std::abs(ax - ay) <= 1 && ax + ay >= 1;
        case 'r': {
            const int d = ax * ax + ay * ay;
            return d >= 8 && d <= 20;
        }
        case 'q':
            return (ax <= 4 && ay <= 4) && (ax >= 3 || ay >= 3);
        case '=':
            return ay >= 1 && ay <= 2 && ax <= 4;
    }
    return false;
}

void drawBall(Canvas& c, int left, const Ball& ball) {
    // Light falls from the upper left.
    const double lx = -0.48, ly = -0.6, lz = 0.64;
    for (int y = 0; y < kBallShownRows; ++y) {
        for (int x = 0; x < kBallTile; ++x) {
            const double cover = coverage(x, y, kCx, kCy, kRadius);
            if (cover < 0.2) continue;
            if (cover < 0.8) {
                c.set(left + x, y, edge(ball.base, cover < 0.5 ? 1 : 2));
                continue;
            }
            const double nx = std::clamp((x + 0.5 - kCx) / kRadius, -1.0, 1.0);
            const double ny = std::clamp((y + 0.5 - kCy) / kRadius, -1.0, 1.0);
            const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
            const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
            // Highlight: the mirror direction towards the viewer.
            const double hz = nz * (2 * diffuse) - lz;
            const double specular = std::pow(std::max(0.0, hz), 24);
            const double v = 0.32 + 0.72 * diffuse + 0.9 * specular;
            c.set(left + x, y, shade(ball.base, stepOf(v)));
        }
    }
    const Rgb ink = markColour(ball.base);
    for (int y = 0; y < kBallShownRows; ++y)
        for (int x = 0; x < kBallTile; ++x)
            if (inMark(ball.mark, x, y)) c.set(left + x, y, ink);
}

void drawDisc(Canvas& c, int left, int rows) {
    const double cy = rows / 2.0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < kBallTile; ++x)
            c.set(
                left + x, y,
                coverage(x, y, kBallTile / 2.0, cy, kBallTile / 2.0 - 1) >= 0.5 ? kWhite : kBlack);
}

}  // namespace

std::vector<Rgb> ballPalette() {
    std::vector<Rgb> palette = {kBlack, kWhite, kBallGround, kLightLine};
    for (const Ball& ball : kBalls) {
        for (int step = 0; step < kShades; ++step) palette.push_back(shade(ball.base, step));
        palette.push_back(edge(ball.base, 1));
        palette.push_back(edge(ball.base, 2));
    }
    // Shades of different balls may meet (the white and grey highlights).
    std::vector<Rgb> unique;
    for (const Rgb& c : palette)
        if (std::find(unique.begin(), unique.end(), c) == unique.end()) unique.push_back(c);
    return unique;
}

std::vector<Rgb> discPalette() {
    return {kBlack, kWhite};
}

Canvas drawBallStrip() {
    Canvas c(kBallTile * kBallTiles, kBallTile, kBallGround);
    for (int i = 0; i < static_cast<int>(kBalls.size()); ++i)
        drawBall(c, (i + 1) * kBallTile, kBalls[static_cast<std::size_t>(i)]);
    drawDisc(c, 10 * kBallTile, kBallShownRows);
    c.fillRect(0, kBallShownRows, c.width(), kBallTile - kBallShownRows, kLightLine);
    return c;
}

Canvas drawBallDisc() {
    Canvas c(kBallTile, kBallTile, kBlack);
    drawDisc(c, 0, kBallTile);
    return c;
}

}  // namespace cardart
