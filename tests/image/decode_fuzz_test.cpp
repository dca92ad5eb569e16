// Any 256 bytes and any file must decode without reading outside a table.
#include <gtest/gtest.h>

#include <random>

#include "image_fields.h"
#include "squelch_levels.h"
#include "table_files.h"
#include "temp_dir.h"

namespace zr {
namespace {

PagerImage RandomImage(std::mt19937& random) {
    PagerImage image;
    for (auto& byte : image.bytes) byte = static_cast<std::uint8_t>(random());
    return image;
}

TEST(DecodeFuzz, RandomImagesDecodeAndCompare) {
    std::mt19937 random(20261210);
    PagerImage previous = StartupImage();
    for (int round = 0; round < 3000; ++round) {
        PagerImage image = RandomImage(random);
        // Bias some rounds toward the edges of the lists.
        if (round % 3 == 0) {
            for (std::size_t offset : {10, 49, 62, 63, 67, 70, 84, 96, 112})
                image[offset] = static_cast<std::uint8_t>(random() % 40);
        }
        for (const auto& field : ImageFields()) (void)FieldValueText(DecodeField(image, field));
        (void)CompareImages(previous, image);
        PagerImage repaired = image;
        RepairSquelchThresholds(repaired, BuiltInSquelchLevelTable());
        SealImageForWrite(repaired);
        EXPECT_TRUE(HasValidChecksum(repaired));
        previous = image;
    }
}

TEST(DecodeFuzz, RandomFilesOpenAndDecode) {
    std::mt19937 random(4242);
    testing::TempDir dir;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> bytes(random() % 1025);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        testing::WriteAll(dir / "f.tbl", bytes);
        PagerImage image = StartupImage();
        const auto result = OpenTableFile(dir / "f.tbl", image, BuiltInSquelchLevelTable());
        ASSERT_FALSE(result.error);
        EXPECT_EQ(result.bytesRead, std::min<std::size_t>(bytes.size(), kImageSize));
        for (const auto& field : ImageFields()) (void)DecodeField(image, field);
        PagerImage other = StartupImage();
        (void)LoadDefaultTable(dir.path(), other);
    }
}

}  // namespace
}  // namespace zr
