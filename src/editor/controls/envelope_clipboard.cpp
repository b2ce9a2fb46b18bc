#include "editor/controls/envelope_clipboard.h"

namespace pelko {

EnvelopeClipboard& EnvelopeClipboard::shared()
{
    static EnvelopeClipboard clipboard;
    return clipboard;
}

void EnvelopeClipboard::copy(const EnvelopeShape& shape)
{
    if (!held_) {
        held_ = std::make_unique<EnvelopeShape>(0, 2, shape.capacity());
    }
    held_->copyFrom(shape);
}

bool EnvelopeClipboard::pasteInto(EnvelopeShape& shape) const
{
    if (!held_) {
        return false;
    }
    shape.copyFrom(*held_);
    return true;
}

}  // namespace pelko
