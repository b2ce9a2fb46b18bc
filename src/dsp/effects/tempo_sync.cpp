#include "dsp/effects/tempo_sync.h"

#include <cmath>

namespace pelko {
namespace {

struct SyncStep {
    float beats;
    const char* name;
};

// The "1/16" step really is 0.06625 beats: stored programs were made with it.
constexpr SyncStep kSteps[kSyncSteps] = {
    {1.0f / 32.0f, "1/32"}, {1.0f / 24.0f, "1/24"}, {0.06625f, "1/16"}, {1.0f / 12.0f, "1/12"},
    {1.0f / 8.0f, " 1/8"},  {1.0f / 6.0f, " 1/6"},  {1.0f / 5.0f, " 1/5"}, {1.0f / 4.0f, " 1/4"},
    {1.0f / 3.0f, " 1/3"},  {1.0f / 2.0f, " 1/2"},  {2.0f / 3.0f, " 2/3"}, {3.0f / 4.0f, " 3/4"},
    {1.0f, "   1"},         {5.0f / 4.0f, " 5/4"},  {4.0f / 3.0f, " 4/3"}, {3.0f / 2.0f, " 3/2"},
    {5.0f / 3.0f, " 5/3"},  {7.0f / 4.0f, " 7/4"},  {2.0f, "   2"},        {5.0f / 2.0f, " 5/2"},
    {3.0f, "   3"},         {7.0f / 2.0f, " 7/2"},  {4.0f, "   4"},        {5.0f, "   5"},
    {6.0f, "   6"},         {8.0f, "   8"},
};

int clampStep(int step) { return step < 0 ? 0 : (step >= kSyncSteps ? kSyncSteps - 1 : step); }

}  // namespace

int syncStepIndex(float value)
{
    float position = value * 25.0f + 0.01f;
    if (!(position > 0.0f)) {
        return 0;  // also NaN
    }
    return clampStep(position >= 25.0f ? 25 : static_cast<int>(position));
}

float syncStepBeats(int step) { return kSteps[clampStep(step)].beats; }
const char* syncStepName(int step) { return kSteps[clampStep(step)].name; }
float syncStepValue(int step) { return static_cast<float>(clampStep(step)) * 0.04f; }

bool isUsableTempo(double bpm) { return std::isfinite(bpm) && bpm >= kMinTempo && bpm <= kMaxTempo; }

float usableSampleRate(double requested, float current)
{
    if (!std::isfinite(requested) || requested <= 0.0) {
        return current;
    }
    if (requested < kMinSampleRate) {
        return kMinSampleRate;
    }
    return requested > kMaxSampleRate ? kMaxSampleRate : static_cast<float>(requested);
}

}  // namespace pelko
