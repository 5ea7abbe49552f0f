#include "icons.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace cardart {

namespace {

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xff));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

void putChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              const std::vector<std::uint8_t>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 0xffff);
        const bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n & 0xff));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n & 0xff));
        out.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xff));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(out, (b << 16) | a);
    return out;
}

char hexDigit(int v) {
    return "0123456789abcdef"[v & 0xf];
}

std::string hexColour(Rgb c) {
    std::string s = "#";
    for (std::uint8_t v : {c.r, c.g, c.b}) {
        s += hexDigit(v >> 4);
        s += hexDigit(v);
    }
    return s;
}

}  // namespace

Canvas scaleIcon(const Canvas& icon, int size) {
    if (size <= 0) throw std::invalid_argument("icon size");
    Canvas out(size, size, vga::kBlack);
    const int w = icon.width(), h = icon.height();
    if (size % w == 0 && size % h == 0) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) out.set(x, y, icon.at(x * w / size, y * h / size));
        return out;
    }
    // Each new pixel covers a size-th of the drawing; in units of 1/size of
    // a drawing pixel, new pixel x spans [x*w, (x+1)*w).
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            long r = 0, g = 0, b = 0, area = 0;
            for (int sy = y * h / size; sy * size < (y + 1) * h; ++sy) {
                const int dy = std::min((sy + 1) * size, (y + 1) * h) - std::max(sy * size, y * h);
                for (int sx = x * w / size; sx * size < (x + 1) * w; ++sx) {
                    const int dx =
                        std::min((sx + 1) * size, (x + 1) * w) - std::max(sx * size, x * w);
                    const Rgb c = icon.at(sx, sy);
                    r += c.r * dx * dy;
                    g += c.g * dx * dy;
                    b += c.b * dx * dy;
                    area += dx * dy;
                }
            }
            const auto mean = [area](long sum) {
                return static_cast<std::uint8_t>((sum + area / 2) / area);
            };
            out.set(x, y, Rgb{mean(r), mean(g), mean(b)});
        }
    }
    return out;
}

std::vector<std::uint8_t> encodePng(const Canvas& canvas) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(canvas.width()));
    putBig32(header, static_cast<std::uint32_t>(canvas.height()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    putChunk(out, "IHDR", header);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < canvas.height(); ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = canvas.at(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    putChunk(out, "IDAT", zlibStored(raw));
    putChunk(out, "IEND", {});
    return out;
}

std::string encodeSvg(const Canvas& canvas) {
    // One path per colour, made of the runs of that colour row by row.
    std::vector<std::pair<Rgb, std::string>> paths;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width();) {
            const Rgb c = canvas.at(x, y);
            int run = 1;
            while (x + run < canvas.width() && canvas.at(x + run, y) == c) ++run;
            auto path = std::find_if(paths.begin(), paths.end(),
                                     [&](const auto& p) { return p.first == c; });
            if (path == paths.end()) path = paths.insert(paths.end(), {c, ""});
            // Appended piece by piece: g++ 12 misreads a chain of + here (-Wrestrict).
            std::string& d = path->second;
            d += 'M';
            d += std::to_string(x);
            d += ' ';
            d += std::to_string(y);
            d += 'h';
            d += std::to_string(run);
            d += "v1h-";
            d += std::to_string(run);
            d += 'z';
            x += run;
        }
    }
    const std::string w = std::to_string(canvas.width()), h = std::to_string(canvas.height());
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
        "\" shape-rendering=\"crispEdges\">\n";
    for (const auto& [colour, d] : paths)
        svg += "<path fill=\"" + hexColour(colour) + "\" d=\"" + d + "\"/>\n";
    return svg + "</svg>\n";
}

std::vector<OutputFile> renderIcons(const std::string& name) {
    const Canvas icon = drawIcon();
    std::vector<OutputFile> files;
    for (int size : kIconSizes) {
        const std::string dim = std::to_string(size) + "x" + std::to_string(size);
        files.push_back(
            {"hicolor/" + dim + "/apps/" + name + ".png", encodePng(scaleIcon(icon, size))});
    }
    const std::string svg = encodeSvg(icon);
    files.push_back({"hicolor/scalable/apps/" + name + ".svg", {svg.begin(), svg.end()}});
    return files;
}

std::vector<OutputFile> renderWebIcons(const std::string& name) {
    const Canvas icon = drawIcon();
    std::vector<OutputFile> files;
    for (int size : kWebIconSizes)
        files.push_back({name + "-" + std::to_string(size) + ".png", encodePng(scaleIcon(icon, size))});
    const std::string svg = encodeSvg(icon);
    files.push_back({name + ".svg", {svg.begin(), svg.end()}});
    return files;
}

}  // namespace cardart
