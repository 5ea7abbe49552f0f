// parlour-cardart OUTDIR: draws the card pictures and the program icon and
// writes them as BMP files into OUTDIR.
// parlour-cardart --icons NAME OUTDIR: writes the program icon as the desktop
// installs it, OUTDIR/hicolor/.../NAME.png and .svg.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>

#include "art.hpp"
#include "icons.hpp"

int main(int argc, char** argv) {
    const bool icons = argc == 4 && std::strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: %s OUTDIR\n       %s --icons NAME OUTDIR\n",
                     argc > 0 ? argv[0] : "parlour-cardart",
                     argc > 0 ? argv[0] : "parlour-cardart");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[argc - 1];
        for (const cardart::OutputFile& f :
             icons ? cardart::renderIcons(argv[2]) : cardart::renderAll()) {
            const std::filesystem::path path = dir / f.name;
            std::filesystem::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(f.bytes.data()),
                      static_cast<std::streamsize>(f.bytes.size()));
            if (!out) {
                std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "parlour-cardart: %s\n", e.what());
        return 1;
    }
    return 0;
}
