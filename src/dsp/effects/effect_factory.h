// The effect types, in the order of the editor's effect-type menu, and the factory that builds
// an effect from the type id stored in a program. Programs store type ids, never menu
// positions.
#pragma once

#include "dsp/effects/effect.h"

#include <memory>

namespace pelko {

// Number of menu rows: "Off" and the eighteen effects.
constexpr int kEffectTypeCount = 19;

// The kind at a menu position 0…18; "Off" for positions outside.
const EffectKind& effectKindAtMenuIndex(int menuIndex);
// Menu position of a stored type id, or -1 when no row has it.
int effectMenuIndex(int typeId);

// Builds the effect of a type id at the given sample rate, with its defaults applied, tempo
// sync off and mix 0.5. Id 0 gives the "Off" object; an id that is not in the table gives
// null. Allocates (delay lines): never call it on the audio thread.
std::unique_ptr<Effect> createEffect(int typeId, float sampleRate);

}  // namespace pelko
