// The per-voice runtime of one envelope. step() advances one tick (a sample, or a control tick
// for filter envelopes) with two multiply-adds:
//     value ← (rate·x·k + 1)·value,   x ← (1 − rate·x)·x,   output = offset + value,
// which follows offset + delta·(1 + n/T)^k over a segment of T ticks and reaches its target at
// n = T. The runner keeps no per-segment tables: it reads the shape it was started with and works
// out a segment's length, converted target level, exponent and offset/delta pair when the segment
// begins. Segment lengths form a chain (a segment stretched to the minimum shortens the next), so
// the runner remembers where along the chain it is and the chain's carry into the loop's start.
// The loop runs through a spare slot that travels from the loop's last level back to the level of
// its first segment.
//
// The shape must outlive the note: the program owns it and voices are reset before a program's
// objects are exchanged. Edits made to the shape while a note plays take effect from the note's
// next segment; segments removed meanwhile end the envelope. Nothing here allocates; every
// function may run on the audio thread.
#pragma once

#include "params/envelope_shape.h"

#include <cstdint>

namespace pelko {

class EnvelopeRunner {
public:
    // Converts a scaled level into the quantity the envelope drives.
    using Convert = float (*)(float level, float argument);
    static float identity(float level, float argument);
    static float pitchRatio(float level, float depth);   // depth^(2L − 1): 0.5 is no change
    static float phaseOffset(float level, float length);  // L·length: 1 is one whole wave

    static constexpr int kMinSegment = 50;  // ticks: shorter segments are stretched to this
    static constexpr int kFadeTicks = 4000;
    static constexpr int kRestartTicks = 100;

    // Prepares the runner for a note. timeScale: ticks per second (sample rate, or sample rate/64
    // for control-rate envelopes, times 120/tempo when synced); timeFactor: the velocity/key time
    // factor. Returns whether the envelope changes at all (a constant one need not be stepped).
    bool start(float levelScale, float timeScale, float timeFactor, const EnvelopeShape& shape,
               int minSegment = kMinSegment, Convert convert = identity, float convertArgument = 0.0f);

    // One tick.
    void step()
    {
        --samplesLeft_;
        value_ = (rate_ * x_ * exponent_ + 1.0f) * value_;
        x_ = (1.0f - rate_ * x_) * x_;
        if (samplesLeft_ == 0) {
            load(next_);
        }
        output_ = offset_ + value_;
    }

    // Note-off: a looping envelope continues with the segments after its loop, from where it is.
    // Without segments after the loop it fades out; without a loop nothing changes.
    void release();
    // Falls from the current value to 0 in 4000 ticks, remembering the interrupted segment.
    void fastFade();
    // After a fast fade: rises from 0 to the interrupted segment's level in 100 ticks and goes on
    // after it. Without an interrupted segment the envelope ends.
    void softRestart();
    // Legato transfer: continues with segment `index` from fromLevel, reaching its level after
    // remainingFraction of its time. index = segment count stops the envelope where it is.
    void jumpTo(int index, float fromLevel, float remainingFraction);
    // Ends the envelope and lets go of its shape (the voice went back to the free pool).
    void forget();

    float output() const { return output_; }
    // Whether the envelope still runs (false once it has ended).
    bool running() const { return segmentLength_ != 0; }
    int currentSegment() const { return current_; }
    int segmentCount() const { return count_; }
    float currentValue() const { return value_ + offset_; }
    // Part of the current segment still to go (samplesLeft / time), for a legato transfer.
    float remainingFraction() const;

private:
    friend class VoiceLanes;

    // The spare loop slot. It lies past every possible segment count, so "past the end" (the
    // segment count) and the loop slot never coincide, even for a full shape.
    static constexpr int kLoopSlot = EnvelopeShape::kCapacity + 1;

    // What segment j (or the loop slot) starts with.
    struct Segment {
        std::int32_t ticks = 0;
        float level = 0.0f;     // converted target level
        float exponent = 0.0f;
        float norm = 0.0f;
        int next = 0;           // the segment that follows it
    };
    // Whether j names a segment that can be played: one still in the shape, or the loop slot of
    // a loop still in it.
    bool playable(int j) const;
    Segment segmentAt(int j);
    // The converted end level of segment j; −1 is the start level of segment 0.
    float levelOf(int j) const;
    // Segment j's length in ticks, following the chain of stretched segments from its start (or
    // from the loop's start when j lies in or after the loop).
    std::int32_t ticksOf(int j);
    float rawTicks(int j) const;
    bool hasLoop() const { return releaseIndex_ != kLoopSlot; }
    void load(int j);
    void goIdle();

    float x_ = 0.0f;
    float value_ = 0.0f;
    float rate_ = 0.0f;
    float exponent_ = 0.0f;
    float offset_ = 0.0f;
    float startDelta_ = 0.0f;
    float output_ = 0.0f;
    std::int32_t samplesLeft_ = 1000;
    std::int32_t segmentLength_ = 0;
    int current_ = 0;
    int next_ = 0;
    int saved_ = -1;
    int count_ = 0;
    int releaseIndex_ = kLoopSlot;
    bool fading_ = false;

    // What the note started with.
    const EnvelopeShape* shape_ = nullptr;
    Convert convert_ = identity;
    float convertArgument_ = 0.0f;
    float levelScale_ = 0.0f;
    float timeScale_ = 0.0f;
    float timeFactor_ = 1.0f;
    float minimum_ = 1.0f;
    int loopStart_ = 0;
    int loopEnd_ = 0;
    // The current segment's full length (for remainingFraction), target level and curve norm.
    std::int32_t currentTicks_ = 0;
    float target_ = 0.0f;
    float norm_ = 0.0f;
    // The chain of segment lengths: the next segment it would measure and the time that segment
    // owes to a stretched predecessor; the same debt at the loop's start.
    int chainIndex_ = 0;
    float chainCarry_ = 0.0f;
    float loopCarry_ = 0.0f;
};

}  // namespace pelko
