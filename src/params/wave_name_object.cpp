#include "params/wave_name_object.h"

#include <algorithm>
#include <array>

namespace pelko {

void WaveNameObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const WaveNameObject*>(&other)) {
        if (source != this) {
            setText(source->text());
            muted_ = source->muted_;
        }
    }
}

void WaveNameObject::write(ByteWriter& out) const
{
    if (muted_) {
        out.putBytes("*", 1);
        out.putBytes(buffer_.data(), kCapacity - 1);
    } else {
        out.putBytes(buffer_.data(), kCapacity);
    }
}

bool WaveNameObject::read(ByteReader& in, int)
{
    std::array<char, kCapacity> bytes{};
    if (!in.bytes(bytes.data(), bytes.size())) {
        return false;
    }
    const bool muted = bytes[0] == '*';
    const char* begin = bytes.data() + (muted ? 1 : 0);
    const char* end = std::find(begin, static_cast<const char*>(bytes.data() + bytes.size()), '\0');
    setText(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    muted_ = muted;
    return true;
}

std::string WaveNameObject::toText() const { return (muted_ ? "*" : "") + std::string(text()) + "\n"; }

bool WaveNameObject::fromText(std::string_view line, std::size_t byteCount, int version)
{
    const bool muted = !line.empty() && line.front() == '*';
    TextObject::fromText(muted ? line.substr(1) : line, byteCount, version);
    muted_ = muted;
    return true;
}

}  // namespace pelko
