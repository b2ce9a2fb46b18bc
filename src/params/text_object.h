// A text of fixed capacity: slider captions, author, comments, the bank info, the routing switches
// (one character per cell, '1' on, '0' off) and the preset category. Stored as exactly `capacity`
// raw bytes; the text ends at the first zero byte.
#pragma once

#include "params/patch_object.h"

#include <string>
#include <vector>

namespace pelko {

class TextObject : public PatchObject {
public:
    // capacityBefore18: the stored size in format versions below 18 (0: same as capacity).
    TextObject(std::size_t capacity, std::string_view initial = {}, std::size_t capacityBefore18 = 0);

    std::string_view text() const;
    // Stores at most capacity − 1 bytes.
    void setText(std::string_view text);
    std::size_t capacity() const { return buffer_.size(); }

    std::size_t storedSize(int version) const override;
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;
    std::string toText() const override;
    bool fromText(std::string_view text, std::size_t byteCount, int version) override;
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<TextObject>(*this); }

protected:
    std::vector<char> buffer_;
    std::size_t capacityBefore18_;
};

}  // namespace pelko
