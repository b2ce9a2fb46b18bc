// Binary-to-text encoding of the program records kept in the presets database. The text holds no
// NUL byte and no single quote, so a record can sit inside an SQL string literal.
//
// Layout: the first character is an offset e (1–255, never the quote); every input byte b follows
// as (b − e) mod 256, except that the three results 0, 1 and 39 are written as the pairs
// 0x01 0x01, 0x01 0x02 and 0x01 0x03. The encoder picks the offset that needs the fewest escapes
// (the lowest such offset on a tie), which bounds the text at (n × 257) / 254 + 1 characters for
// n bytes. Zero bytes encode as "x".
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelko {

// Bytes to allocate for encoding n bytes, the terminating NUL included: (n × 257) / 254 + 2.
// Returns 0 when n is too large for the computation.
std::size_t encodedBufferSize(std::size_t n);

// The offset the encoder uses for these bytes.
std::uint8_t chooseRecordOffset(std::span<const std::uint8_t> bytes);

// Encodes into `out`, which holds at least encodedBufferSize(bytes.size()) bytes; writes the
// terminating NUL and returns the text length (without it).
std::size_t encodeRecord(std::span<const std::uint8_t> bytes, char* out);
std::string encodeRecord(std::span<const std::uint8_t> bytes);

// Most bytes a text of this length can decode to.
std::size_t decodedCapacity(std::size_t textLength);

// Decodes `text` into out[0 … capacity). Returns the decoded length, or -1 when the text is not a
// valid encoding (empty, a NUL byte, an escape byte followed by anything but 0x01–0x03 or by
// nothing) or when the result would not fit into `capacity` bytes. Never writes past `capacity`.
int decodeRecord(std::string_view text, std::uint8_t* out, std::size_t capacity);

}  // namespace pelko
