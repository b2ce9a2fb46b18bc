// A circular delay line of `length` samples with a write index and a read index that each
// advance by one per use. Reading at the read index right after writing (or right before it)
// delays by length − 1 samples, because the read index starts one ahead of the write index.
//
// Memory: the buffer only grows while the sample rate stays the same. Effects reserve, when
// they are built and when the sample rate changes, the longest length their parameters can
// ask for, so that parameter and tempo changes resize without allocating. A line is never
// empty (length ≥ 1), and every read stays inside the buffer whatever offset it is given.
#pragma once

#include <span>
#include <vector>

namespace pelko {

// Upper bound of any line, in samples (about 175 s at 384 kHz): lengths computed from absurd
// inputs are clamped here instead of overflowing.
constexpr int kMaxDelayLength = 1 << 26;

// A length in samples from a computed float: truncated toward zero, 0 for NaN and negative
// values, kMaxDelayLength at most.
int delaySamples(float samples);

class DelayLine {
public:
    DelayLine() : buffer_(1, 0.0f) {}

    // Replaces the buffer with one of exactly `samples` floats (at least 1), zeroed, indices at
    // the start. The length is kept when it fits. Allocates: call it when the sample rate changes.
    void setCapacity(int samples);
    // Grows the buffer to at least `samples` floats; allocates only when it grows.
    void reserve(int samples);
    // Sets the length (clamped to 1…kMaxDelayLength). A new length zeroes the line and restarts
    // the indices (write 0, read 1); the same length keeps the contents. Allocates only when
    // the length exceeds the capacity.
    void resize(int samples);
    // Zeroes the samples, keeps the indices.
    void clear();

    int length() const { return length_; }
    int capacity() const { return static_cast<int>(buffer_.size()); }

    // The sample at the read index; the read index advances.
    float read()
    {
        float value = buffer_[static_cast<std::size_t>(read_)];
        if (++read_ >= length_) {
            read_ = 0;
        }
        return value;
    }

    // Stores a sample at the write index; the write index advances.
    void write(float value)
    {
        buffer_[static_cast<std::size_t>(write_)] = value;
        if (++write_ >= length_) {
            write_ = 0;
        }
    }

    // The sample `offset` positions behind the write index (offset clamped to 0…length).
    float tap(int offset) const
    {
        offset = offset < 0 ? 0 : (offset > length_ ? length_ : offset);
        int index = write_ - offset;
        if (index < 0) {
            index += length_;
        }
        return buffer_[static_cast<std::size_t>(index)];
    }

    // Linear interpolation at a fractional offset behind the write index (clamped to
    // 0…length; NaN reads offset 0).
    float readFractional(float offset) const
    {
        const float limit = static_cast<float>(length_);
        offset = offset > 0.0f ? (offset < limit ? offset : limit) : 0.0f;
        const float position = static_cast<float>(write_) - offset;
        int i = static_cast<int>(position);
        if (static_cast<float>(i) > position) {
            --i;  // floor for negative positions
        }
        const float fraction = position - static_cast<float>(i);
        if (i < 0) {
            i += length_;
        }
        int j = i + 1;
        if (j >= length_) {
            j -= length_;
        }
        const float a = buffer_[static_cast<std::size_t>(i)];
        const float b = buffer_[static_cast<std::size_t>(j)];
        return a + fraction * (b - a);
    }

    // The samples in use, for inspection.
    std::span<const float> contents() const
    {
        return std::span<const float>(buffer_.data(), static_cast<std::size_t>(length_));
    }

private:
    std::vector<float> buffer_;
    int length_ = 1;
    int write_ = 0;
    int read_ = 0;
};

}  // namespace pelko
