// The lossless codec for signed 16-bit little-endian samples (archive storage method 1).
//
// Each sample is predicted from the three before it, p = x[n-3] + 3·(x[n-1] - x[n-2]) (exact for
// constant, linear and quadratic runs), and the 16-bit residual r = x[n] - p is written as an
// adaptive Rice code: the low k bits of its magnitude, the rest of the magnitude in unary (zeros
// closed by a one), then a sign bit. k follows a running average of the magnitudes' bit counts.
// Packed layout: uint32 sample count (little-endian), then the bit stream, most significant bit
// first within each byte, the last byte padded with zero bits. Integer arithmetic only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelko {

// Packs count samples.
std::vector<std::uint8_t> encodeSamples(const std::int16_t* samples, std::size_t count);
// Packs bytes read as little-endian 16-bit samples; size must be even (an odd last byte is not
// representable and makes the result empty).
std::vector<std::uint8_t> encodeSampleBytes(const std::uint8_t* bytes, std::size_t size);

// Whether a packed block can hold exactly unpackedBytes of samples: its count matches and the
// bit stream is long enough for that many samples at the shortest code (3 bits). Cheap; lets a
// reader refuse absurd sizes before it allocates.
bool packedSizeConsistent(const std::uint8_t* packed, std::size_t packedSize, std::size_t unpackedBytes);

// Unpacks into out, which must hold unpackedBytes (= 2 · the stored sample count) bytes of
// little-endian samples. False when the block is inconsistent or its bit stream ends early or
// holds an impossible code; the work is bounded by the packed size.
bool decodeSamples(const std::uint8_t* packed, std::size_t packedSize, std::uint8_t* out,
                   std::size_t unpackedBytes);

}  // namespace pelko
