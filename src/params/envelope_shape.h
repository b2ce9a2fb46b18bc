// The editable description of one multi-segment envelope, owned by the program: its breakpoint
// segments (see segment_list.h), a sustain loop, the time mode, a per-segment velocity-time
// sensitivity and an overall depth. Voices turn it into values with an EnvelopeRunner.
#pragma once

#include "params/segment_list.h"

#include <string_view>

namespace pelko {

class EnvelopeShape : public SegmentList {
public:
    static constexpr int kCapacity = 128;  // segments of every envelope of a program
    static constexpr float kDefaultSensitivity = 0.25f;
    static constexpr float kDefaultReferenceTempo = 120.0f;

    // segmentCount segments, every level 1.0, then preset `preset` (see SegmentList::applyPreset).
    EnvelopeShape(int segmentCount, int preset, int capacity = kCapacity);

    // Sustain loop: segments loopStart … loopStart + loopLength − 1 repeat while the key is held;
    // loopLength 0 is no loop.
    int loopStart() const { return loopStart_; }
    int loopLength() const { return loopLength_; }
    void setLoop(int start, int length);  // clamped to 0 … capacity
    // 0: durations in seconds; 1: tempo-synced (seconds at 120 BPM, scaled by 120/tempo).
    int timeMode() const { return timeMode_; }
    void setTimeMode(int mode) { timeMode_ = mode; }
    bool tempoSynced() const { return timeMode_ == 1; }
    // The tempo the durations refer to (stored with the envelope; 120 in every new one).
    float referenceTempo() const { return referenceTempo_; }
    void setReferenceTempo(float bpm);  // non-finite or non-positive values become 120
    // Part of segment i's duration that does not follow the velocity/key time factor, 0–1.
    float velocityTimeSensitivity(int i) const;
    void setVelocityTimeSensitivity(int i, float value);  // values outside 0–1 become 0
    float depth() const { return depth_; }
    void setDepth(float depth);  // clamped to 0–1, non-finite becomes 1

    // Appends copies of the loop's segments right after the loop; false when they do not fit or
    // there is no loop.
    bool duplicateLoop();

    // Everything but the capacity, from another shape.
    void copyFrom(const EnvelopeShape& other);

protected:
    void segmentInserted(int at) override;
    void segmentRemoved(int at) override;
    void roomChanged(int segments) override;

private:
    int loopStart_ = 1;
    int loopLength_ = 2;
    int timeMode_ = 0;
    float referenceTempo_ = kDefaultReferenceTempo;
    std::vector<float> sensitivity_;  // one per segment of room()
    float depth_ = 1.0f;
};

}  // namespace pelko
