// parlour-cardart OUTDIR: draws the card pictures and the program icon and
// writes them as BMP files into OUTDIR.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "art.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "parlour-cardart");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const cardart::OutputFile& f : cardart::renderAll()) {
            std::ofstream out(dir / f.name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(f.bytes.data()),
                      static_cast<std::streamsize>(f.bytes.size()));
            if (!out) {
                std::fprintf(stderr, "cannot write %s\n", (dir / f.name).string().c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "parlour-cardart: %s\n", e.what());
        return 1;
    }
    return 0;
}
