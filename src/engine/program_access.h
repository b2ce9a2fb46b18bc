// Typed access to the program objects the engine reads, by patch-object index.
#pragma once

#include "params/curve.h"
#include "params/envelope_shape.h"
#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/program.h"

namespace pelko {

inline const Curve& curveOf(const Program& program, int index)
{
    return program.objectAs<CurveObject>(index).curve();
}

inline const EnvelopeShape& shapeOf(const Program& program, int index)
{
    return program.objectAs<EnvelopeObject>(index).shape();
}

// Ticks per second for an envelope: `rate` ticks per second, stretched by 120/tempo when the
// shape follows the tempo.
inline float envelopeTimeScale(const EnvelopeShape& shape, float rate, float tempo)
{
    return shape.tempoSynced() && tempo > 0.0f ? rate * 120.0f / tempo : rate;
}

}  // namespace pelko
