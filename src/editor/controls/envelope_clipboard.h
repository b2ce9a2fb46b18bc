// The envelope clipboard every envelope editor of the process shares: "Copy Env" puts a whole
// envelope in it (segments, loop, time mode, sensitivities, depth), "Paste Env" copies it out.
// Empty at start; it outlives every editor window. User-interface thread only (not locked).
#pragma once

#include "params/envelope_shape.h"

#include <memory>

namespace pelko {

class EnvelopeClipboard {
public:
    static EnvelopeClipboard& shared();

    bool empty() const { return !held_; }
    void copy(const EnvelopeShape& shape);
    // Replaces the shape with the held copy; false (and the shape unchanged) when empty.
    bool pasteInto(EnvelopeShape& shape) const;
    void clear() { held_.reset(); }

private:
    std::unique_ptr<EnvelopeShape> held_;
};

}  // namespace pelko
