#include "params/curve.h"

#include <algorithm>
#include <cmath>

namespace pelko {

Curve::Curve(float initialLevel) : SegmentList(kCapacity, 1, initialLevel) { render(); }

Curve::Curve(const Curve& other) : SegmentList(other), table_(other.table_) {}

Curve& Curve::operator=(const Curve& other)
{
    SegmentList::operator=(other);
    table_ = other.table_;
    return *this;
}

void Curve::render()
{
    const int n = segmentCount();
    if (n == 0) {
        table_.fill(segment(0).startLevel);
        return;
    }
    int filled = 0;
    for (int i = 0; i < n && filled < kTableSize; ++i) {
        int points = kTableSize - filled;
        if (i < n - 1) {
            const float wanted = segment(i).duration * static_cast<float>(kTableSize);
            points = std::min(points, static_cast<int>(std::min(wanted, static_cast<float>(kTableSize))));
        }
        sampleSegment(i, points, table_.data() + filled);
        filled += points;
    }
    // Only when the other segments took every point: the last level carries on.
    for (int i = filled; i < kTableSize; ++i) {
        table_[static_cast<std::size_t>(i)] = segment(n - 1).endLevel;
    }
}

WaveshaperCurve::WaveshaperCurve() : SegmentList(Curve::kCapacity, 1, 0.0f)
{
    setEndLevel(0, 1.0f);  // renders
}

WaveshaperCurve::WaveshaperCurve(const WaveshaperCurve& other) : SegmentList(other), table_(other.table_), on_(other.on_) {}

WaveshaperCurve& WaveshaperCurve::operator=(const WaveshaperCurve& other)
{
    SegmentList::operator=(other);
    table_ = other.table_;
    on_ = other.on_;
    return *this;
}

void WaveshaperCurve::render()
{
    // Each point is the curve's value at input k/255, from the closed form of its segment.
    const int n = segmentCount();
    int i = 0;
    for (int k = 0; k < kPoints; ++k) {
        const float x = static_cast<float>(k) / static_cast<float>(kPoints - 1);
        if (n == 0) {
            table_[static_cast<std::size_t>(k)] = segment(0).startLevel;
            continue;
        }
        while (i < n - 1 && x > segment(i).startTime + segment(i).duration) {
            ++i;
        }
        const EnvelopeSegment& s = segment(i);
        const float t = s.duration > 0.0f ? (x - s.startTime) / s.duration : 1.0f;
        table_[static_cast<std::size_t>(k)] = segmentLevelAt(s, t);
    }
    table_[kPoints] = table_[kPoints - 1];
}

}  // namespace pelko
