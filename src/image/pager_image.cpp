#include "pager_image.h"

#include <algorithm>

namespace zr {

namespace {

// Offsets 0..239 of the built-in image; 240..253 hold the system's tag and 254..255 are zero.
constexpr std::array<std::uint8_t, 240> kDefaultBytes = {
    0,   0,   0,   1,   5,   9,   0,   0,   0,   0,   32,  0,   0,   0,   0,   0,    // 0
    139, 11,  75,  149, 135, 28,  77,  7,   141, 151, 72,  56,  136, 178, 82,  135,  // 16
    147, 8,   83,  137, 148, 11,  70,  175, 140, 32,  85,  148, 149, 16,  78,  134,  // 32
    1,   7,   0,   1,   0,   3,   0,   1,   0,   3,   15,  1,   0,   0,   2,   103,  // 48
    60,  6,   12,  0,   16,  5,   240, 0,   0,   0,   50,  35,  82,  1,   5,   68,   // 64
    60,  8,   12,  7,   0,   0,   0,   133, 88,  137, 175, 147, 137, 151, 140, 0,    // 80
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 96
    0,   0,   0,   0,   0,   0,   0,   0,   0,   1,   0,   17,  0,   21,  128, 0,    // 112
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 128
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 144
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 160
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 176
    26,  43,  27,  161, 16,  241, 30,  205, 32,  133, 19,  241, 21,  14,  43,  217,  // 192
    45,  14,  46,  76,  47,  146, 16,  12,  29,  44,  51,  156, 50,  58,  34,  86,   // 208
    12,  233, 23,  121, 46,  76,  55,  254, 0,   0,   0,   0,   0,   0,   0,   0,    // 224
};

}  // namespace

unsigned GetImageBits(const PagerImage& image, std::size_t offset, unsigned shift, unsigned width) {
    const unsigned mask = (1u << width) - 1u;
    return (static_cast<unsigned>(image[offset]) >> shift) & mask;
}

void SetImageBits(PagerImage& image, std::size_t offset, unsigned shift, unsigned value, unsigned width) {
    const unsigned mask = ((1u << width) - 1u) << shift;
    const unsigned kept = image[offset] & ~mask;
    image[offset] = static_cast<std::uint8_t>(kept | ((value << shift) & mask));
}

std::uint16_t GetWord16(const PagerImage& image, std::size_t offset) {
    return static_cast<std::uint16_t>(image[offset] << 8 | image[offset + 1]);
}

void SetWord16(PagerImage& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint32_t GetWord32(const PagerImage& image, std::size_t offset) {
    return static_cast<std::uint32_t>(GetWord16(image, offset)) << 16 | GetWord16(image, offset + 2);
}

void SetWord32(PagerImage& image, std::size_t offset, std::uint32_t value) {
    SetWord16(image, offset, static_cast<std::uint16_t>(value >> 16));
    SetWord16(image, offset + 2, static_cast<std::uint16_t>(value & 0xFFFF));
}

std::uint16_t ImageChecksum(const PagerImage& image) {
    unsigned sum = 0;
    for (std::size_t offset = kChecksumFirst; offset <= kChecksumLast; ++offset) sum += image[offset];
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::uint16_t StoredChecksum(const PagerImage& image) { return GetWord16(image, kChecksumOffset); }

bool HasValidChecksum(const PagerImage& image) { return ImageChecksum(image) == StoredChecksum(image); }

bool HasModelTag(const PagerImage& image) {
    return std::equal(kModelName.begin(), kModelName.end(), image.bytes.begin() + kTagOffset);
}

std::string_view TagText(const PagerImage& image) {
    const auto* first = reinterpret_cast<const char*>(image.bytes.data() + kTagOffset);
    const std::string_view whole(first, kTagSize);
    return whole.substr(0, whole.find('\0'));
}

void WriteSystemTag(PagerImage& image) {
    std::copy(kSystemTag.begin(), kSystemTag.end(), image.bytes.begin() + kTagOffset);
}

void SealImageForWrite(PagerImage& image) {
    SetImageBits(image, 104, 7, 0, 1);
    SetImageBits(image, 106, 7, 0, 1);
    image[11] = 1;     // write marker
    image[63] = 103;   // low-battery threshold code the pager expects after a Write
    image[48] &= 0x0F; // only the four call enables survive
    WriteSystemTag(image);
    SetWord16(image, kChecksumOffset, ImageChecksum(image));
}

PagerImage BuiltInDefaultImage() {
    PagerImage image;
    std::copy(kDefaultBytes.begin(), kDefaultBytes.end(), image.bytes.begin());
    WriteSystemTag(image);
    return image;
}

PagerImage StartupImage() {
    PagerImage image = BuiltInDefaultImage();
    WriteSystemTag(image);
    return image;
}

std::size_t OverlayImageBytes(PagerImage& image, std::span<const std::uint8_t> data) {
    const std::size_t count = std::min(data.size(), kImageSize);
    std::copy_n(data.begin(), count, image.bytes.begin());
    return count;
}

}  // namespace zr
