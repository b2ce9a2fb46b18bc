// A patch object with no contents: stores nothing, reads nothing.
#pragma once

#include "params/patch_object.h"

namespace pelko {

class PlaceholderObject final : public PatchObject {
public:
    std::size_t storedSize(int) const override { return 0; }
    void copyFrom(const PatchObject&) override {}
    void write(ByteWriter&) const override {}
    bool read(ByteReader&, int) override { return true; }
    // The copy keeps the display name and group, as every object's copy does.
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<PlaceholderObject>(*this); }
};

}  // namespace pelko
