// Renders up to kLanes voices at once, one voice per lane of a vector register, for a run of
// samples. Every lane computes exactly what Voice::render() computes for its voice, operation for
// operation and in the same order, so the samples are the same bit for bit; Voice::render() stays
// the reference and the path for runs the lanes do not take (the step sequencer).
//
// Between runs the voices hold their whole state as usual. A run copies what changes every sample
// (oscillator phases, envelope steps, modulation values, gains) into the lanes, renders, and
// copies it back. Whatever happens less often runs on the voice itself, one lane at a time, in
// the middle of the run: a voice's control tick (filter coefficients, gains, recovery) and an
// envelope reaching the end of its segment. A voice that finishes during the run has its state
// copied back at that sample and renders nothing after it, as the voice list would have dropped it.
//
// The widest instruction set of the processor is chosen once, when the module is loaded: 256-bit
// registers where the processor has them, the baseline 128-bit ones otherwise.
#pragma once

namespace pelko {

class Voice;

class VoiceLanes {
public:
    static constexpr int kLanes = 8;
    // The longest run; longer runs are split by the caller.
    static constexpr int kMaxFrames = 128;

    // Renders `count` (1–kLanes) voices for `frames` (1–kMaxFrames) samples: voice k's samples go
    // to outLeft[k][0..frames), outRight[k][0..frames); from the sample a voice finishes on, its
    // outputs are 0, finished() tells the caller to unlink it and finishedAt[k] is that sample
    // (−1 for a voice that did not finish). None of the voices may run the step sequencer.
    static void render(Voice* const* voices, int count, int frames, float* const* outLeft, float* const* outRight, int* finishedAt);

    // The instruction set in use ("avx2" or "sse2"): the widest the processor has, chosen at load.
    static const char* instructionSet();
    // For tests and measurements: the baseline instruction set even where a wider one exists
    // (true), or the widest again (false). Returns whether the set asked for is in use.
    static bool useBaseline(bool baseline);

private:
    struct Block;
    static void renderBaseline(Voice* const* voices, int count, int frames, float* const* outLeft,
                               float* const* outRight, int* finishedAt);
    __attribute__((target("avx2"))) static void renderWide(Voice* const* voices, int count, int frames,
                                                          float* const* outLeft, float* const* outRight, int* finishedAt);
};

}  // namespace pelko
