// "Off" (type 0): the empty slot. It stores parameter values and writes nothing, so a slot
// processed in place passes its signal through unchanged.
#pragma once

#include "dsp/effects/effect.h"

namespace pelko {

extern const EffectKind kOffKind;

class OffEffect final : public Effect {
public:
    explicit OffEffect(float sampleRate) : Effect(kOffKind, sampleRate) {}

    void process(const float*, const float*, float*, float*, int) override {}
    void reset() override {}
    void visitState(EffectStateVisitor&) const override {}

private:
    void applyParam(int, float) override {}
};

}  // namespace pelko
