#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/file.h"

namespace {

using Bytes = std::vector<unsigned char>;

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("parlour-archive-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        path = (dir / "data.bin").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    Bytes Store(const std::function<void(CArchive&)>& write) {
        CFile file;
        EXPECT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        write(ar);
        file.Close();
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void Put(const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    // Reads one string from the bytes; false when the archive refused them.
    bool ReadString(const Bytes& bytes, CString* value, uint64_t* position = nullptr) {
        Put(bytes);
        CFile file;
        EXPECT_TRUE(file.Open(path, CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        try {
            ar >> *value;
        } catch (const CArchiveException&) {
            if (position) *position = file.GetPosition();
            return false;
        }
        if (position) *position = file.GetPosition();
        return true;
    }

    std::filesystem::path dir;
    std::string path;
};

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST_F(ArchiveTest, WritesStringsAsUtf16WithEveryLengthForm) {
    EXPECT_EQ(Store([](CArchive& ar) { ar << CString(); }), (Bytes{0xFF, 0xFE, 0xFF, 0x00}));
    EXPECT_EQ(Store([](CArchive& ar) { ar << CString(u"Ab"); }),
              (Bytes{0xFF, 0xFE, 0xFF, 0x02, 'A', 0, 'b', 0}));
    EXPECT_EQ(Store([](CArchive& ar) { ar << int32_t{-2} << uint32_t{7}; }),
              (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0}));
    const Bytes b254 = Store([](CArchive& ar) { ar << CString(254, u'x'); });
    EXPECT_EQ(Bytes(b254.begin(), b254.begin() + 4), (Bytes{0xFF, 0xFE, 0xFF, 0xFE}));
    const Bytes b255 = Store([](CArchive& ar) { ar << CString(255, u'x'); });
    EXPECT_EQ(Bytes(b255.begin(), b255.begin() + 6), (Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}));
    const Bytes b70k = Store([](CArchive& ar) { ar << CString(70000, u'x'); });
    EXPECT_EQ(Bytes(b70k.begin(), b70k.begin() + 10),
              (Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    EXPECT_EQ(b70k.size(), 10u + 140000u);
}

TEST_F(ArchiveTest, ReadsBackWhatItWritesIncludingLoneSurrogates) {
    const CString odd = u"A\xD800z\U0001F0A1";
    for (const CString& text :
         {CString(), odd, CString(255, u'q'), CString(65534, u'r'), CString(70000, u's')}) {
        Store([&](CArchive& ar) { ar << text; });
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        CString back;
        ar >> back;
        EXPECT_EQ(back, text);
    }
}

TEST_F(ArchiveTest, ReadsEightBitTextInTheSystemCodePage) {
    CString value;
    ASSERT_TRUE(ReadString({3, 'J', 'a', 0x80}, &value));
    EXPECT_EQ(value, u"Ja\u20AC");
    ASSERT_TRUE(ReadString({0, 'x'}, &value));
    EXPECT_EQ(value, u"");
    // 8-bit text with a 16-bit length: FF then the length.
    Bytes longText(3 + 300, 0xE9);
    longText[0] = 0xFF, longText[1] = 0x2C, longText[2] = 0x01;
    ASSERT_TRUE(ReadString(longText, &value));
    EXPECT_EQ(value, CString(300, u'\u00E9'));
}

TEST_F(ArchiveTest, ReadsThirtyTwoAndSixtyFourBitLengths) {
    CString value;
    const Bytes units = {'h', 0, 'i', 0};
    ASSERT_TRUE(
        ReadString(Concat({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0}, units), &value));
    EXPECT_EQ(value, u"hi");
    ASSERT_TRUE(ReadString(
        Concat({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0, 0, 0, 0},
               units),
        &value));
    EXPECT_EQ(value, u"hi");
    // A 64-bit length of 2^31 or more is refused.
    EXPECT_FALSE(ReadString(Concat({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0,
                                    0, 0, 0x80, 0, 0, 0, 0},
                                   units),
                            &value));
}

TEST_F(ArchiveTest, RefusesLengthsPastTheEndWithoutReadingThere) {
    CString value = u"kept";
    uint64_t position = 0;
    // Claims 3 units, holds 2.
    EXPECT_FALSE(ReadString({0xFF, 0xFE, 0xFF, 0x03, 'a', 0, 'b', 0}, &value, &position));
    EXPECT_EQ(position, 4u);  // stopped after the length
    EXPECT_EQ(value, u"kept");
    // Claims four billion bytes of 8-bit text.
    EXPECT_FALSE(ReadString({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'x'}, &value, &position));
    EXPECT_EQ(position, 7u);
    // Ends inside the length itself.
    EXPECT_FALSE(ReadString({0xFF, 0xFE}, &value));
    EXPECT_FALSE(ReadString({}, &value));
    // And an integer cut short.
    Put({1, 2, 3});
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    int32_t n = 0;
    EXPECT_THROW(ar >> n, CArchiveException);
}

TEST_F(ArchiveTest, OpeningAMissingFileOrAFolderFails) {
    CFile file;
    EXPECT_FALSE(file.Open((dir / "missing").string(), CFile::modeRead));
    EXPECT_FALSE(file.Open(dir.string(), CFile::modeRead));
    EXPECT_FALSE(
        file.Open((dir / "no" / "such" / "x").string(), CFile::modeCreate | CFile::modeWrite));
}
