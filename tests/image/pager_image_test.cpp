#include <gtest/gtest.h>

#include <algorithm>

#include "pager_image.h"

namespace zr {
namespace {

// "ZR250Pro V107" and its NUL, spelled out: 90+82+50+53+48+80+114+111+32+86+49+48+55+0 = 898.
constexpr std::array<std::uint8_t, 14> kTagBytes = {'Z', 'R', '2', '5', '0', 'P', 'r', 'o', ' ', 'V', '1', '0', '7', 0};
constexpr unsigned kTagByteSum = 898;

std::array<std::uint8_t, 14> TagBytes(const PagerImage& image) {
    std::array<std::uint8_t, 14> tag{};
    std::copy_n(image.bytes.begin() + 240, 14, tag.begin());
    return tag;
}

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

TEST(PagerImage, ChecksumSumsExactlyOffsets16To253) {
    // Every byte of the image is set, the uncovered ones (0..15, 254, 255) included, so a range one
    // byte too short or too long at either end shows.
    struct Case {
        const char* name;
        std::uint8_t fill;
        std::uint16_t sum;
    };
    const Case cases[] = {
        {"238 covered bytes of 1", 1, 238},
        {"238 covered bytes of 255: the largest sum, 0xED12", 255, 60690},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PagerImage image;
        image.bytes.fill(c.fill);
        EXPECT_EQ(ImageChecksum(image), c.sum);
        EXPECT_FALSE(HasValidChecksum(image));
        image[254] = static_cast<std::uint8_t>(c.sum >> 8);
        image[255] = static_cast<std::uint8_t>(c.sum & 0xFF);
        EXPECT_EQ(ImageChecksum(image), c.sum) << "the checksum field is not summed";
        EXPECT_TRUE(HasValidChecksum(image));
    }
    PagerImage ends;
    ends[15] = 100;  // just before the covered bytes
    ends[16] = 3;
    ends[253] = 5;
    EXPECT_EQ(ImageChecksum(ends), 8);
}

TEST(PagerImage, SealForcesItsBytesTagAndChecksum) {
    PagerImage image = StartupImage();
    image[0] = 77;     // not covered by the checksum
    image[15] = 9;     // nor this
    image[48] = 0xFF;
    image[104] = 0xFF;
    image[106] = 0x80;
    image[63] = 94;
    image[129] = 5;    // carried
    for (std::size_t i = 240; i < 254; ++i) image[i] = 'X';  // a foreign tag without a NUL
    image[254] = 0xAB;
    image[255] = 0xCD;
    SealImageForWrite(image);
    EXPECT_EQ(image[48], 0x0F);
    EXPECT_EQ(image[104], 0x7F);
    EXPECT_EQ(image[106], 0x00);
    EXPECT_EQ(image[11], 1);
    EXPECT_EQ(image[63], 103);
    EXPECT_EQ(image[0], 77);
    EXPECT_EQ(image[15], 9);
    EXPECT_EQ(image[129], 5);
    EXPECT_EQ(TagBytes(image), kTagBytes) << "the tag ends in its NUL at 253";
    // Against the default's bytes 16..239 (sum 8411), the sealed image holds 15 instead of 1 at 48,
    // 127 instead of 0 at 104 and 5 instead of 0 at 129; then the tag. 8411 + 14 + 127 + 5 + 898.
    const unsigned expected = 8411 + 14 + 127 + 5 + kTagByteSum;
    EXPECT_EQ(image[254] * 256u + image[255], expected);
}

TEST(PagerImage, SealedDefaultChecksumIsDefaultSumPlusTag) {
    PagerImage image = StartupImage();
    SealImageForWrite(image);
    // The default image's own bytes 48 (1) and 63 (103) already hold what the seal forces:
    // 8411 + 898 = 9309 = 36 * 256 + 93.
    EXPECT_EQ(image[254], 36);
    EXPECT_EQ(image[255], 93);
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
