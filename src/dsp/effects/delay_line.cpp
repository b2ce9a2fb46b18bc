#include "dsp/effects/delay_line.h"

#include <algorithm>

namespace pelko {

int delaySamples(float samples)
{
    if (!(samples > 0.0f)) {
        return 0;
    }
    if (samples >= static_cast<float>(kMaxDelayLength)) {
        return kMaxDelayLength;
    }
    return static_cast<int>(samples);
}

void DelayLine::setCapacity(int samples)
{
    samples = std::clamp(samples, 1, kMaxDelayLength);
    std::vector<float>(static_cast<std::size_t>(samples), 0.0f).swap(buffer_);
    length_ = std::min(length_, samples);
    write_ = 0;
    read_ = 1 % length_;
}

void DelayLine::reserve(int samples)
{
    if (samples > capacity()) {
        int length = length_;
        setCapacity(samples);
        length_ = length;
        read_ = 1 % length_;
    }
}

void DelayLine::resize(int samples)
{
    samples = std::clamp(samples, 1, kMaxDelayLength);
    if (samples > capacity()) {
        setCapacity(samples);
        length_ = 0;  // forces the restart below
    }
    if (samples != length_) {
        length_ = samples;
        std::fill_n(buffer_.begin(), samples, 0.0f);
        write_ = 0;
        read_ = 1 % length_;
    }
}

void DelayLine::clear() { std::fill_n(buffer_.begin(), length_, 0.0f); }

}  // namespace pelko
