// parlour-tableshot FILE.png [ZOOM]: paints a card table with one pile of each
// kind, an empty place, a deal place and a run being dragged, with the
// program's own card pictures, and writes it as a PNG scaled by ZOOM
// (default 3). A quick look at the card table without the desktop program.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "cards/cardgame.h"
#include "hosts/headless/headless_host.h"
#include "res/resource.h"

namespace {

// The top rows as Klondike lays them out on a 240-pixel-wide table.
class CShowTable : public CCardgame {
public:
    void OnNewGame() override {}  // the table is laid out by hand
    CShowTable() {
        m_title = u"Table";
        stock = AddPile(PILE_STOCK);
        waste = AddPile(PILE_WASTE);
        for (CCardPile*& c : columns) c = AddPile(PILE_TABLEAU);
        foundation = AddPile(PILE_FOUNDATION);
        emptyFoundation = AddPile(PILE_FOUNDATION);
        dealPlace = AddPile(PILE_STOCK);
        dealPlace->m_showDeal = 1;
        m_firstFoundationPos = PilePosOf(foundation);
    }
    void OnSize(unsigned, int cx, int cy) override {
        const CCardImages& im = CardImages();
        const int w = im.m_cardWidth, h = im.m_cardHeight;
        const int pitch = std::max(static_cast<int>(cx * (2.0 / 15)), w + 2);
        const int x = std::max((cx - 7 * pitch) / 2, 2), gap = h / 5;
        auto place = [&](CCardPile* p, int column, int top, int bottom, int extra = 0) {
            p->m_rect = CRect(x + column * pitch, top, x + column * pitch + w + extra, bottom);
        };
        place(stock, 0, gap, gap + h);
        place(waste, 1, gap, gap + h, 3 * waste->m_faceUpStep);
        place(foundation, 4, gap, gap + h);
        place(emptyFoundation, 5, gap, gap + h);
        place(dealPlace, 6, gap, gap + h);
        for (int i = 0; i < 4; ++i) place(columns[i], i, h + 2 * gap, cy);
    }
    void OnLButtonDown(unsigned, CPoint point) override {
        if (PickAt(point) && m_sel.m_card) StartDrag(point);
    }
    void Put(CCardPile* pile, std::initializer_list<int> indices, uint32_t state = 0) {
        for (int i : indices) pile->AddCard(std::make_unique<CCard>(i))->m_state = state;
    }

    CCardPile* stock;
    CCardPile* waste;
    CCardPile* columns[4];
    CCardPile* foundation;
    CCardPile* emptyFoundation;
    CCardPile* dealPlace;
};

bool WritePng(const char* path, const CImage& image, int zoom) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    const int w = image.width * zoom, h = image.height * zoom;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = image.At(x / zoom, y / zoom);
            row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: parlour-tableshot FILE.png [ZOOM]\n");
        return 2;
    }
    const int zoom = argc == 3 ? std::atoi(argv[2]) : 3;
    if (zoom < 1 || zoom > 16) {
        std::fprintf(stderr, "parlour-tableshot: ZOOM must be 1 to 16\n");
        return 2;
    }
    HeadlessHost host;
    SetResources(ParlourResources());
    CCardImages images;
    if (!images.Load()) {
        std::fprintf(stderr, "parlour-tableshot: the card pictures did not load\n");
        return 1;
    }
    SetCardImages(&images);

    CShowTable table;
    if (!table.Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST)) return 1;
    table.Put(table.stock, {1, 2, 3, 4, 6, 8, 9, 11}, CARD_FACEDOWN);
    table.Put(table.waste, {16, 30}, CARD_FACEDOWN);  // turned earlier: not fanned
    table.Put(table.waste, {47, 12, 23});             // the last three turned
    table.Put(table.foundation, {26, 27, 28});        // ace to three of hearts
    table.Put(table.columns[0], {0, 40, 41}, CARD_FACEDOWN);
    table.Put(table.columns[0], {51, 37, 10});  // king of spades, queen of hearts, jack of clubs
    table.Put(table.columns[1], {5}, CARD_FACEDOWN);
    table.Put(table.columns[1], {21});  // nine of diamonds
    table.Put(table.columns[3], {14, 15, 17, 18}, CARD_FACEDOWN);
    table.Put(table.columns[3], {7, 32, 44});  // eight of clubs, seven of hearts, six of spades
    host.Idle();

    // Pick up the eight of clubs and its run, and hold it over the nine.
    const CRect eight = table.columns[3]->FromTop(2)->m_rect;
    const CPoint press(eight.left + 5, eight.top + 3);
    table.SendStylusDown(press);
    table.SendStylusMove(CPoint(press.x - 60, press.y + 40));
    table.Invalidate();
    host.Idle();

    if (!WritePng(argv[1], table.Surface(), zoom)) {
        std::fprintf(stderr, "parlour-tableshot: cannot write %s\n", argv[1]);
        return 1;
    }
    SetCardImages(nullptr);
    return 0;
}
