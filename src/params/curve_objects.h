// A program's curves: a curve by key, velocity or aftertouch is stored as its breakpoint list
// (segment_stream.h); the waveshaper curve adds its switch as one more int32 (0 off, 1 on).
// Reading re-renders the tables the engine reads.
#pragma once

#include "params/curve.h"
#include "params/patch_object.h"

namespace pelko {

class CurveObject final : public PatchObject {
public:
    explicit CurveObject(float initialLevel = 1.0f) : curve_(initialLevel) {}

    Curve& curve() { return curve_; }
    const Curve& curve() const { return curve_; }

    std::size_t storedSize(int version) const override;
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;  // all or nothing
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<CurveObject>(*this); }

private:
    Curve curve_;
};

class WaveshaperObject final : public PatchObject {
public:
    WaveshaperCurve& curve() { return curve_; }
    const WaveshaperCurve& curve() const { return curve_; }

    std::size_t storedSize(int version) const override;
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;  // all or nothing
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<WaveshaperObject>(*this); }

private:
    WaveshaperCurve curve_;
};

}  // namespace pelko
