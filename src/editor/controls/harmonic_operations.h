// The operations of the harmonics editor's context menu, on additive settings (64 levels and 64
// phases, index 0 being the first harmonic). Each works from the selected harmonic s (0-based) up
// to the last unless its comment says otherwise. "Odd" and "even" mean the 0-based index: odd
// indices start at the first odd index at or above s, even ones at the even index at or just
// below s.
#pragma once

#include <string>
#include <vector>

namespace pelko {

class AdditiveSettingsObject;

enum class HarmonicOperation : int {
    kRemoveAll,     // level and phase 0
    kRemoveOdds,
    kRemoveEvens,
    kNormalize,     // all 64 levels scaled so that the largest is 1
    kLowerAll,      // level × 0.5
    kLowerOdds,
    kLowerEvens,
    kBoostAll,      // level × 2, at most 1
    kBoostOdds,
    kBoostEvens,
    kThreshold1,    // levels ≤ 0.01 become 0
    kThreshold2,
    kThreshold5,
    kThreshold10,
    kShiftUp,       // each harmonic above s takes the one below it; s keeps its values
    kShiftDown,     // each harmonic from s to 62 takes the one above it; 63 keeps its values
    kMirror,        // every level j becomes the mean of levels j and 63 − j
    kSmooth,        // level and phase: the mean of their own and the smoothed one below
    kLowpass,       // levels from s upward × 1, 0.9, 0.81, …
    kLowpassHarder,   // factor 0.8
    kLowpassHardest,  // factor 0.7
    kHipass,          // levels from s down to 0 × 1, 0.9, 0.81, …
    kHipassHarder,
    kHipassHardest,
    kClearPhase,      // phase 0
    kAlternatePhase,  // phases 0.5, 0, 0.5, … from s
    kInvertPhase,     // phase + 0.5, wrapped into 0 … 1
    kCount,
};

// The menu texts, in the order of the enumeration.
const std::vector<std::string>& harmonicOperationNames();

// Whether the operation needs a selected harmonic (all but "Normalize" and "Mirror" do).
bool operationNeedsSelection(HarmonicOperation operation);

// Runs the operation with `selected` the selected harmonic, 1–64 (0: none, and then only the
// operations that need no selection do anything). False when nothing was run.
bool applyHarmonicOperation(AdditiveSettingsObject& settings, HarmonicOperation operation, int selected);

}  // namespace pelko
