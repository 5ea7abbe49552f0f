#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cards/card_images.h"
#include "platform/resources.h"

namespace {

void Put(std::vector<unsigned char>& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A 24-bit BMP of one colour.
std::vector<unsigned char> SolidBmp(int w, int h, uint32_t rgb) {
    const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::vector<unsigned char> b = {'B', 'M'};
    Put(b, 54 + stride * static_cast<uint32_t>(h), 4);
    Put(b, 0, 4);
    Put(b, 54, 4);
    Put(b, 40, 4);
    Put(b, static_cast<uint32_t>(w), 4);
    Put(b, static_cast<uint32_t>(h), 4);
    Put(b, 1, 2);
    Put(b, 24, 2);
    for (int i = 0; i < 6; ++i) Put(b, 0, 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) Put(b, rgb, 3);
        for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

CCardImages WithBack(int width) {
    CCardImages images;
    images.m_bmCardBack.Attach(std::make_shared<CImage>(width, 34));
    images.m_bmCards[0].Attach(std::make_shared<CImage>(60, 80));  // never read for metrics
    images.DeriveMetrics();
    return images;
}

}  // namespace

TEST(CardMetrics, TheBackAloneSetsSizeAndFanSteps) {
    const CCardImages narrow = WithBack(35);
    EXPECT_EQ(narrow.m_cardWidth, 35);
    EXPECT_EQ(narrow.m_cardHeight, 34);
    EXPECT_EQ(narrow.m_cardFaceUpStep, 9);
    EXPECT_EQ(narrow.m_cardWasteStep, 5);
    EXPECT_EQ(narrow.m_cardFaceDownStep, 2);
    const CCardImages wide = WithBack(36);
    EXPECT_EQ(wide.m_cardFaceUpStep, 20);
    EXPECT_EQ(wide.m_cardWasteStep, 15);
    EXPECT_EQ(wide.m_cardFaceDownStep, 5);
    EXPECT_EQ(WithBack(25).m_cardWidth, 25);
}

TEST(CardMetrics, FacesAreFoundByIndexAndNothingElse) {
    CCardImages images;
    images.m_bmCards[51].Attach(std::make_shared<CImage>(25, 34));
    EXPECT_TRUE(images.Face(51).IsLoaded());
    EXPECT_FALSE(images.Face(52).IsLoaded());
    EXPECT_FALSE(images.Face(-1).IsLoaded());
}

TEST(CardImagesLoad, LoadsEveryPictureByNameAndRefusesWhenOneIsMissing) {
    // Every picture of its own colour, so we can tell which landed where.
    std::map<std::string, std::vector<unsigned char>> files;
    files["CARDBACK"] = SolidBmp(36, 40, 0x0000FE);
    files["CARDEMPTY"] = SolidBmp(25, 34, 0x00FD00);
    files["CARDDEAL"] = SolidBmp(25, 34, 0xFC0000);
    for (int n = 1; n <= 52; ++n)
        files["CARD" + std::to_string(n)] = SolidBmp(25, 34, 0x010101u * n);
    std::vector<EmbeddedImage> embedded;
    for (const auto& [name, bytes] : files)
        if (name != "CARD52") embedded.push_back(EmbeddedImage{name, bytes});
    ResourceTable table;
    table.images = embedded;
    SetResources(table);

    CCardImages incomplete;
    EXPECT_FALSE(incomplete.Load());

    embedded.push_back(EmbeddedImage{"CARD52", files["CARD52"]});
    table.images = embedded;
    SetResources(table);
    CCardImages images;
    EXPECT_TRUE(images.Load());
    EXPECT_EQ(images.m_cardWidth, 36);
    EXPECT_EQ(images.m_cardHeight, 40);
    EXPECT_EQ(images.m_cardFaceUpStep, 20);
    EXPECT_EQ(images.m_bmCardBack.Image()->At(0, 0), 0x0000FEu);
    EXPECT_EQ(images.m_bmCardEmpty.Image()->At(0, 0), 0x00FD00u);
    EXPECT_EQ(images.m_bmCardDeal.Image()->At(0, 0), 0xFC0000u);
    for (int i = 0; i < 52; ++i)
        EXPECT_EQ(images.Face(i).Image()->At(3, 3), 0x010101u * (i + 1)) << i;
    SetResources(ResourceTable{});
}
