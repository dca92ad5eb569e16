// What an image is, told by its bytes: the SHA-256 of the 256 bytes a pager holds, the pager's own
// firmware version (offsets 1 and 2) left out, since a Write keeps whatever the pager reports there.
// Two images with the same identity are the same image to every pager; a 16-bit sum is no such thing.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "pager_image.h"

namespace zr {

// The SHA-256 digest of `bytes`.
std::array<std::uint8_t, 32> Sha256(std::span<const std::uint8_t> bytes);

// The image's identity as 64 lowercase hex digits.
std::string ImageIdentity(const PagerImage& image);

}  // namespace zr
