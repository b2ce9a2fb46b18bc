#include "engine/voice_context.h"

#include <cmath>

namespace pelko {

void makePlayable(FrequencyTable& table)
{
    constexpr float kHighest = 1.0e6f;  // Hz
    for (int key = 0; key < kKeys; ++key) {
        float& f = table[static_cast<std::size_t>(key)];
        if (!std::isfinite(f) || f <= 0.0f) {
            f = 440.0f * std::exp2((static_cast<float>(key) - 69.0f) / 12.0f);
        } else if (f > kHighest) {
            f = kHighest;
        }
    }
}

}  // namespace pelko
