#include "params/patch_object.h"

#include <vector>

namespace pelko {

std::string PatchObject::toText() const
{
    ByteWriter out;
    write(out);
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    const std::vector<std::uint8_t>& bytes = out.bytes();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        if (i % 32 == 31) {
            text += '\n';
        }
    }
    if (bytes.size() % 32 != 0 || bytes.empty()) {
        text += '\n';
    }
    return text;
}

bool PatchObject::fromText(std::string_view text, std::size_t byteCount, int version)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(byteCount);
    int high = -1;
    for (char c : text) {
        int digit = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                             : -1;
        if (digit < 0) {
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t') {
                return false;
            }
            if (high >= 0) {
                return false;  // a lone hexadecimal digit
            }
            continue;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0 || bytes.size() != byteCount) {
        return false;
    }
    ByteReader in(bytes.data(), bytes.size());
    return read(in, version) && !in.failed();
}

}  // namespace pelko
