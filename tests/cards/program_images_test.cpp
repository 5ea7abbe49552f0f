// The program's own card pictures, loaded as the application loads them. In
// a process of its own: loaded pictures are shared by name for the whole run.
#include <gtest/gtest.h>

#include "cards/card_images.h"
#include "res/resource.h"

TEST(ProgramCardImages, AllLoadAndGiveTheHandheldsMetrics) {
    SetResources(ParlourResources());
    CCardImages images;
    ASSERT_TRUE(images.Load());
    EXPECT_EQ(images.m_cardWidth, 25);
    EXPECT_EQ(images.m_cardHeight, 34);
    EXPECT_EQ(images.m_cardFaceUpStep, 9);
    EXPECT_EQ(images.m_cardWasteStep, 5);
    EXPECT_EQ(images.m_cardFaceDownStep, 2);
    for (const CBitmap* place : {&images.m_bmCardEmpty, &images.m_bmCardDeal})
        EXPECT_EQ(place->GetSize(), (CSize{25, 34}));
    for (int i = 0; i < CARD_COUNT; ++i) EXPECT_EQ(images.Face(i).GetSize(), (CSize{25, 34})) << i;
    // No two faces alike: a mixed-up name would show one card twice.
    for (int i = 0; i < CARD_COUNT; ++i)
        for (int j = i + 1; j < CARD_COUNT; ++j)
            EXPECT_NE(images.Face(i).Image()->pixels, images.Face(j).Image()->pixels)
                << i << " " << j;
}
