#include "params/text_object.h"

#include <algorithm>
#include <cstring>

namespace pelko {

TextObject::TextObject(std::size_t capacity, std::string_view initial, std::size_t capacityBefore18)
    : buffer_(std::max<std::size_t>(capacity, 1), '\0'),
      capacityBefore18_(capacityBefore18 == 0 ? capacity : capacityBefore18)
{
    setText(initial);
}

std::string_view TextObject::text() const
{
    const char* begin = buffer_.data();
    const void* zero = std::memchr(begin, 0, buffer_.size());
    std::size_t length = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - begin) : buffer_.size();
    return std::string_view(begin, length);
}

void TextObject::setText(std::string_view text)
{
    std::fill(buffer_.begin(), buffer_.end(), '\0');
    std::size_t n = std::min(text.size(), buffer_.size() - 1);
    std::copy_n(text.data(), n, buffer_.begin());
}

std::size_t TextObject::storedSize(int version) const
{
    return version < 18 ? capacityBefore18_ : buffer_.size();
}

void TextObject::copyFrom(const PatchObject& other)
{
    if (const auto* text = dynamic_cast<const TextObject*>(&other)) {
        if (text != this) {
            setText(text->text());
        }
    }
}

void TextObject::write(ByteWriter& out) const { out.putBytes(buffer_.data(), buffer_.size()); }

bool TextObject::read(ByteReader& in, int version)
{
    std::size_t stored = storedSize(version);
    std::vector<char> bytes(stored);
    if (!in.bytes(bytes.data(), stored)) {
        return false;
    }
    // A stored text fills its whole buffer without terminator when it is exactly capacity long;
    // keep the last byte for the terminator.
    std::size_t length = std::find(bytes.begin(), bytes.end(), '\0') - bytes.begin();
    setText(std::string_view(bytes.data(), length));
    return true;
}

std::string TextObject::toText() const { return std::string(text()) + "\n"; }

bool TextObject::fromText(std::string_view line, std::size_t, int)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    setText(line);
    return true;
}

}  // namespace pelko
