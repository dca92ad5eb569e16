// An image's identity: a true SHA-256, blind only to the pager's own firmware version.
#include <gtest/gtest.h>

#include <string>

#include "image_identity.h"

namespace zr {
namespace {

std::string Hex(const std::array<std::uint8_t, 32>& digest) {
    std::string text;
    for (const auto byte : digest) text += "0123456789abcdef"[byte >> 4], text += "0123456789abcdef"[byte & 15];
    return text;
}

TEST(ImageIdentity, Sha256OfKnownMessagesAcrossBlockBoundaries) {
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";  // 56 bytes
    const std::string million(1000000, 'a');
    for (const auto& [message, digest] : std::initializer_list<std::pair<std::string, std::string>>{
             {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
             {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
             {twoBlocks, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
             {million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(message.data());
        EXPECT_EQ(Hex(Sha256({bytes, message.size()})), digest) << message.size() << " bytes";
    }
}

TEST(ImageIdentity, EveryByteButTheFirmwareVersionCounts) {
    PagerImage image{};
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = std::uint8_t(i * 7);
    const std::string identity = ImageIdentity(image);
    EXPECT_EQ(identity.size(), 64u);
    PagerImage otherFirmware = image;
    otherFirmware[1] ^= 0xFF;
    otherFirmware[2] ^= 0x01;
    EXPECT_EQ(ImageIdentity(otherFirmware), identity);
    // Offsets outside the 16-bit sum (0, 3..15, the sum itself) tell images apart too.
    for (const std::size_t offset : {0u, 3u, 15u, 16u, 253u, 254u, 255u}) {
        PagerImage changed = image;
        changed[offset] ^= 0x01;
        EXPECT_NE(ImageIdentity(changed), identity) << "offset " << offset;
    }
}

}  // namespace
}  // namespace zr
