#include <gtest/gtest.h>

#include <numeric>

#include "pager_image.h"

namespace zr {
namespace {

unsigned TagByteSum() { return std::accumulate(kSystemTag.begin(), kSystemTag.end(), 0u, [](unsigned s, char c) { return s + static_cast<unsigned char>(c); }); }

TEST(PagerImage, DefaultImageHoldsTheDocumentedValues) {
    const PagerImage image = StartupImage();
    EXPECT_EQ(image[3], 1);
    EXPECT_EQ(image[10], 32);
    EXPECT_EQ(GetWord32(image, 120), 0x00010011u);
    EXPECT_EQ(GetWord32(image, 124), 0x00158000u);
    EXPECT_EQ(GetWord16(image, 192), 6699);
    EXPECT_EQ(GetWord16(image, 18), 0x4B95);
    EXPECT_EQ(TagText(image), "ZR250Pro V107");
    EXPECT_EQ(image[253], 0);
    EXPECT_EQ(StoredChecksum(image), 0);
    unsigned sum = 0;
    for (std::size_t i = 16; i <= 239; ++i) sum += image[i];
    EXPECT_EQ(sum, 8411u);
}

TEST(PagerImage, BitsTouchOnlyTheirField) {
    PagerImage image;
    image[69] = 0b1010'0101;
    EXPECT_EQ(GetImageBits(image, 69, 0, 1), 1u);
    EXPECT_EQ(GetImageBits(image, 69, 1, 1), 0u);
    EXPECT_EQ(GetImageBits(image, 69, 4, 4), 0b1010u);
    SetImageBits(image, 69, 1, 1, 1);
    EXPECT_EQ(image[69], 0b1010'0111);
    SetImageBits(image, 69, 7, 0, 1);
    EXPECT_EQ(image[69], 0b0010'0111);
    image[96] = 0xC5;
    SetImageBits(image, 96, 0, 8, 6);
    EXPECT_EQ(image[96], 0xC8);
}

TEST(PagerImage, WordsAreBigEndian) {
    PagerImage image;
    SetWord16(image, 52, 300);
    EXPECT_EQ(image[52], 1);
    EXPECT_EQ(image[53], 44);
    SetWord32(image, 124, 0x0044D800);
    EXPECT_EQ(image[124], 0x00);
    EXPECT_EQ(image[125], 0x44);
    EXPECT_EQ(image[126], 0xD8);
    EXPECT_EQ(image[127], 0x00);
    EXPECT_EQ(GetWord32(image, 124), 0x0044D800u);
}

TEST(PagerImage, SealForcesItsBytesAndSumsOffsets16To253) {
    PagerImage image = StartupImage();
    image[0] = 77;     // not covered by the checksum
    image[48] = 0xFF;
    image[104] = 0xFF;
    image[106] = 0x80;
    image[63] = 94;
    image[129] = 5;    // carried
    SealImageForWrite(image);
    EXPECT_EQ(image[48], 0x0F);
    EXPECT_EQ(image[104], 0x7F);
    EXPECT_EQ(image[106], 0x00);
    EXPECT_EQ(image[11], 1);
    EXPECT_EQ(image[63], 103);
    EXPECT_EQ(image[0], 77);
    EXPECT_EQ(image[129], 5);
    EXPECT_TRUE(HasValidChecksum(image));
    EXPECT_EQ(StoredChecksum(image), ImageChecksum(image));
}

TEST(PagerImage, SealedDefaultChecksumIsDefaultSumPlusTag) {
    PagerImage image = StartupImage();
    SealImageForWrite(image);
    // The default image's own bytes 48 (1) and 63 (103) already hold what the seal forces.
    EXPECT_EQ(StoredChecksum(image), (8411 + TagByteSum()) % 65536);
}

TEST(PagerImage, ModelTagTestLooksAtTheFirstEightTagBytes) {
    PagerImage image;
    EXPECT_FALSE(HasModelTag(image));
    const std::string_view other = "ZR250ProXXXXXX";
    std::copy(other.begin(), other.end(), image.bytes.begin() + 240);
    EXPECT_TRUE(HasModelTag(image));
    image[247] = 'x';
    EXPECT_FALSE(HasModelTag(image));
}

TEST(PagerImage, TagTextStopsAtNulAndAtFourteenCharacters) {
    PagerImage image;
    for (std::size_t i = 240; i < 256; ++i) image[i] = 'A';
    EXPECT_EQ(TagText(image), std::string(14, 'A'));
    image[243] = 0;
    EXPECT_EQ(TagText(image), "AAA");
}

TEST(PagerImage, OverlayReplacesOnlyLeadingBytes) {
    PagerImage image = StartupImage();
    const std::vector<std::uint8_t> data(100, 0xAA);
    EXPECT_EQ(OverlayImageBytes(image, data), 100u);
    EXPECT_EQ(image[99], 0xAA);
    EXPECT_EQ(image[100], StartupImage()[100]);
    const std::vector<std::uint8_t> longer(300, 0x55);
    EXPECT_EQ(OverlayImageBytes(image, longer), 256u);
    EXPECT_EQ(image[255], 0x55);
}

}  // namespace
}  // namespace zr
