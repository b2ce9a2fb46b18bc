// Curves: breakpoint functions over 0–1 that the engine reads as tables.
//
// A Curve (by key, velocity or aftertouch) is rendered into 128 floats indexed directly by the
// MIDI value: every segment but the last gets trunc(duration·128) points drawn along its own curve,
// the last one the rest. A WaveshaperCurve maps the oscillator's sample (0–1 after offsetting) to
// its shaped value through 256 points plus one guard point, and carries the waveshaper's switch.
// Both tables are re-rendered after every edit, so the engine reads them without computing.
#pragma once

#include "params/segment_list.h"

#include <array>

namespace pelko {

class Curve : public SegmentList {
public:
    static constexpr int kCapacity = 8;
    static constexpr int kTableSize = 128;

    // One segment from 0 to 1, both levels at initialLevel.
    explicit Curve(float initialLevel = 1.0f);
    Curve(const Curve& other);
    Curve& operator=(const Curve& other);

    const std::array<float, kTableSize>& table() const { return table_; }
    // Table entry for a MIDI value (clamped to 0–127).
    float at(int value) const { return table_[static_cast<std::size_t>(value < 0 ? 0 : value > 127 ? 127 : value)]; }

    void render();

protected:
    void changed() override { render(); }

private:
    std::array<float, kTableSize> table_{};
};

class WaveshaperCurve : public SegmentList {
public:
    static constexpr int kPoints = 256;  // T[k] at input k/255; T[256] repeats T[255]

    // The identity: one straight segment from 0 to 1, so that switching the shaper on leaves the
    // sound unchanged until the curve is edited.
    WaveshaperCurve();
    WaveshaperCurve(const WaveshaperCurve& other);
    WaveshaperCurve& operator=(const WaveshaperCurve& other);

    bool on() const { return on_; }
    void setOn(bool on) { on_ = on; }
    // The table the oscillator reads, or nullptr while the shaper is off.
    const float* activeTable() const { return on_ ? table_.data() : nullptr; }
    const std::array<float, kPoints + 1>& table() const { return table_; }

    void render();

protected:
    void changed() override { render(); }

private:
    std::array<float, kPoints + 1> table_{};
    bool on_ = false;
};

}  // namespace pelko
