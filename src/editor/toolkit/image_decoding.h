// Decoding of skin image files (BMP in its common forms, PNG with or without alpha) with the
// system's stb_image. Files are untrusted: absurd sizes, truncation and garbage are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pelko {

// Neither side of an image may exceed this.
constexpr int kMaxImageDimension = 16384;

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, straight alpha, top row first
};

// None when the bytes are not a complete image of a supported format, when a side is 0 or above
// maxDimension, or when the decoder needed more bytes than there are.
std::optional<DecodedImage> decodeImage(std::span<const std::uint8_t> bytes, int maxDimension = kMaxImageDimension);

}  // namespace pelko
