// The pager's 256-byte configuration image and the operations on it as a whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zr {

inline constexpr std::size_t kImageSize = 256;

// The same 256 bytes travel to and from the pager and are stored byte for byte in table files.
struct PagerImage {
    std::array<std::uint8_t, kImageSize> bytes{};

    std::uint8_t& operator[](std::size_t offset) { return bytes.at(offset); }
    std::uint8_t operator[](std::size_t offset) const { return bytes.at(offset); }
    bool operator==(const PagerImage&) const = default;
};

// The model/version tag this program writes: 13 characters and a NUL at offsets 240..253.
inline constexpr std::string_view kSystemTag{"ZR250Pro V107\0", 14};
inline constexpr std::string_view kModelName = "ZR250Pro";
inline constexpr std::size_t kTagOffset = 240;
inline constexpr std::size_t kTagSize = 14;
inline constexpr std::size_t kChecksumOffset = 254;
// The checksum covers offsets 16..253; offsets 0..15 are not covered.
inline constexpr std::size_t kChecksumFirst = 16;
inline constexpr std::size_t kChecksumLast = 253;

// Bit field of one byte: the byte shifted right by `shift`, masked to `width` bits.
unsigned GetImageBits(const PagerImage& image, std::size_t offset, unsigned shift, unsigned width);
// Clears the `width` bits at `shift` and ORs in `value` (which must fit in `width` bits).
void SetImageBits(PagerImage& image, std::size_t offset, unsigned shift, unsigned value, unsigned width);

// Multi-byte values are big-endian: the most significant byte at the lower offset.
std::uint16_t GetWord16(const PagerImage& image, std::size_t offset);
void SetWord16(PagerImage& image, std::size_t offset, std::uint16_t value);
std::uint32_t GetWord32(const PagerImage& image, std::size_t offset);
void SetWord32(PagerImage& image, std::size_t offset, std::uint32_t value);

// Sum of offsets 16..253 modulo 65536.
std::uint16_t ImageChecksum(const PagerImage& image);
// The checksum the image carries at 254 (high byte) and 255 (low byte).
std::uint16_t StoredChecksum(const PagerImage& image);
bool HasValidChecksum(const PagerImage& image);

// True when the first 8 bytes of the tag read "ZR250Pro".
bool HasModelTag(const PagerImage& image);
// The tag as text: up to its first NUL, at most 14 characters.
std::string_view TagText(const PagerImage& image);
// Writes "ZR250Pro V107" and its NUL into offsets 240..253, as start-up does.
void WriteSystemTag(PagerImage& image);

// What every Write does to the image just before sending it: forced bytes, tag and checksum.
void SealImageForWrite(PagerImage& image);

// The image the program carries built in, used until something else is loaded.
PagerImage BuiltInDefaultImage();
// The built-in image as start-up leaves it, after writing the system's tag into it.
PagerImage StartupImage();

// Takes up to 256 bytes over the leading bytes of the image; the rest keeps its content.
// Returns how many bytes were taken.
std::size_t OverlayImageBytes(PagerImage& image, std::span<const std::uint8_t> data);

}  // namespace zr
