#include "editor/controls/harmonic_operations.h"

#include "params/additive_settings_object.h"

#include <algorithm>
#include <array>

namespace pelko {
namespace {

constexpr int kCount = AdditiveSettingsObject::kHarmonics;

// Which indices from s upward an operation touches.
enum class Which { kAll, kOdds, kEvens };

int firstIndex(Which which, int s)
{
    switch (which) {
    case Which::kAll:
        return s;
    case Which::kOdds:
        return (s % 2 == 1) ? s : s + 1;
    case Which::kEvens:
        return (s % 2 == 0) ? s : s - 1;
    }
    return s;
}

template <class Change>
void forEach(Which which, int s, Change&& change)
{
    const int step = which == Which::kAll ? 1 : 2;
    for (int i = firstIndex(which, s); i < kCount; i += step) {
        change(i);
    }
}

void remove(AdditiveSettingsObject& a, Which which, int s)
{
    forEach(which, s, [&](int i) {
        a.setLevel(i, 0.0f);
        a.setPhase(i, 0.0f);
    });
}

void scale(AdditiveSettingsObject& a, Which which, int s, float factor)
{
    // The object clamps what it is given, so a boost stops at 1.
    forEach(which, s, [&](int i) { a.setLevel(i, a.level(i) * factor); });
}

void threshold(AdditiveSettingsObject& a, int s, float limit)
{
    forEach(Which::kAll, s, [&](int i) {
        if (a.level(i) <= limit) {
            a.setLevel(i, 0.0f);
        }
    });
}

void copyHarmonic(AdditiveSettingsObject& a, int to, int from)
{
    a.setLevel(to, a.level(from));
    a.setPhase(to, a.phase(from));
}

void normalize(AdditiveSettingsObject& a)
{
    float largest = 0.0f;
    for (int i = 0; i < kCount; ++i) {
        largest = std::max(largest, a.level(i));
    }
    if (largest <= 0.0f) {
        return;
    }
    for (int i = 0; i < kCount; ++i) {
        a.setLevel(i, a.level(i) / largest);
    }
}

void mirror(AdditiveSettingsObject& a)
{
    std::array<float, kCount> before{};
    for (int i = 0; i < kCount; ++i) {
        before[static_cast<std::size_t>(i)] = a.level(i);
    }
    for (int j = 0; j < kCount; ++j) {
        a.setLevel(j, (before[static_cast<std::size_t>(j)] + before[static_cast<std::size_t>(kCount - 1 - j)]) * 0.5f);
    }
}

void smooth(AdditiveSettingsObject& a, int s)
{
    // The first harmonic has none below it and stays as it is.
    for (int i = std::max(s, 1); i < kCount; ++i) {
        a.setLevel(i, (a.level(i) + a.level(i - 1)) * 0.5f);
        a.setPhase(i, (a.phase(i) + a.phase(i - 1)) * 0.5f);
    }
}

// Multiplies the levels walked away from s (upward or downward) by 1, factor, factor², …
void taper(AdditiveSettingsObject& a, int s, int direction, float factor)
{
    float gain = 1.0f;
    for (int i = s; i >= 0 && i < kCount; i += direction) {
        a.setLevel(i, a.level(i) * gain);
        gain *= factor;
    }
}

void alternatePhase(AdditiveSettingsObject& a, int s)
{
    for (int i = s; i < kCount; ++i) {
        a.setPhase(i, (i - s) % 2 == 0 ? 0.5f : 0.0f);
    }
}

void invertPhase(AdditiveSettingsObject& a, int s)
{
    for (int i = s; i < kCount; ++i) {
        float p = a.phase(i) + 0.5f;
        if (p > 1.0f) {
            p -= 1.0f;
        }
        a.setPhase(i, p);
    }
}

}  // namespace

const std::vector<std::string>& harmonicOperationNames()
{
    static const std::vector<std::string> names = {
        "Remove All",   "Remove Odds",       "Remove Evens",      "Normalize",     "Lower All",
        "Lower Odds",   "Lower Evens",       "Boost All",         "Boost Odds",    "Boost Evens",
        "Threshold <1", "Threshold <2",      "Threshold <5",      "Threshold <10", "Shift Up",
        "Shift Down",   "Mirror",            "Smooth",            "Lowpass",       "Lowpass (harder)",
        "Lowpass (hardest)", "Hipass",       "Hipass (harder)",   "Hipass (hardest)", "Clear Phase",
        "Alternate Phase", "Invert Phase",
    };
    return names;
}

bool operationNeedsSelection(HarmonicOperation operation)
{
    return operation != HarmonicOperation::kNormalize && operation != HarmonicOperation::kMirror;
}

bool applyHarmonicOperation(AdditiveSettingsObject& a, HarmonicOperation operation, int selected)
{
    if (operation < HarmonicOperation::kRemoveAll || operation >= HarmonicOperation::kCount) {
        return false;
    }
    if (selected < 0 || selected > kCount || (selected == 0 && operationNeedsSelection(operation))) {
        return false;
    }
    const int s = selected - 1;
    using Op = HarmonicOperation;
    switch (operation) {
    case Op::kRemoveAll: remove(a, Which::kAll, s); break;
    case Op::kRemoveOdds: remove(a, Which::kOdds, s); break;
    case Op::kRemoveEvens: remove(a, Which::kEvens, s); break;
    case Op::kNormalize: normalize(a); break;
    case Op::kLowerAll: scale(a, Which::kAll, s, 0.5f); break;
    case Op::kLowerOdds: scale(a, Which::kOdds, s, 0.5f); break;
    case Op::kLowerEvens: scale(a, Which::kEvens, s, 0.5f); break;
    case Op::kBoostAll: scale(a, Which::kAll, s, 2.0f); break;
    case Op::kBoostOdds: scale(a, Which::kOdds, s, 2.0f); break;
    case Op::kBoostEvens: scale(a, Which::kEvens, s, 2.0f); break;
    case Op::kThreshold1: threshold(a, s, 0.01f); break;
    case Op::kThreshold2: threshold(a, s, 0.02f); break;
    case Op::kThreshold5: threshold(a, s, 0.05f); break;
    case Op::kThreshold10: threshold(a, s, 0.1f); break;
    case Op::kShiftUp:
        for (int i = kCount - 1; i > s; --i) {
            copyHarmonic(a, i, i - 1);
        }
        break;
    case Op::kShiftDown:
        for (int i = s; i < kCount - 1; ++i) {
            copyHarmonic(a, i, i + 1);
        }
        break;
    case Op::kMirror: mirror(a); break;
    case Op::kSmooth: smooth(a, s); break;
    case Op::kLowpass: taper(a, s, 1, 0.9f); break;
    case Op::kLowpassHarder: taper(a, s, 1, 0.8f); break;
    case Op::kLowpassHardest: taper(a, s, 1, 0.7f); break;
    case Op::kHipass: taper(a, s, -1, 0.9f); break;
    case Op::kHipassHarder: taper(a, s, -1, 0.8f); break;
    case Op::kHipassHardest: taper(a, s, -1, 0.7f); break;
    case Op::kClearPhase:
        for (int i = s; i < kCount; ++i) {
            a.setPhase(i, 0.0f);
        }
        break;
    case Op::kAlternatePhase: alternatePhase(a, s); break;
    case Op::kInvertPhase: invertPhase(a, s); break;
    case Op::kCount: return false;
    }
    return true;
}

}  // namespace pelko
