// parlour-cardart OUTDIR: draws the card pictures and the program icon and
// writes them as BMP files into OUTDIR.
// parlour-cardart --icons NAME OUTDIR: writes the program icon as the desktop
// installs it, OUTDIR/hicolor/.../NAME.png and .svg.
// parlour-cardart --web-icons NAME OUTDIR: writes it for the web app,
// OUTDIR/NAME-192.png, NAME-512.png and NAME.svg.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>

#include "art.hpp"
#include "icons.hpp"

int main(int argc, char** argv) {
    const bool icons = argc == 4 && std::strcmp(argv[1], "--icons") == 0;
    const bool webIcons = argc == 4 && std::strcmp(argv[1], "--web-icons") == 0;
    if (argc != 2 && !icons && !webIcons) {
        const char* self = argc > 0 ? argv[0] : "parlour-cardart";
        std::fprintf(stderr,
                     "usage: %s OUTDIR\n       %s --icons NAME OUTDIR\n       %s --web-icons NAME "
                     "OUTDIR\n",
                     self, self, self);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[argc - 1];
        for (const cardart::OutputFile& f :
             icons      ? cardart::renderIcons(argv[2])
             : webIcons ? cardart::renderWebIcons(argv[2])
                        : cardart::renderAll()) {
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
