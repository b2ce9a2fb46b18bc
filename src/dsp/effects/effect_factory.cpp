#include "dsp/effects/effect_factory.h"

#include "dsp/effects/auto_pan.h"
#include "dsp/effects/chorus_flanger.h"
#include "dsp/effects/crazy_comb.h"
#include "dsp/effects/ensemble.h"
#include "dsp/effects/off_effect.h"
#include "dsp/effects/overdrive.h"
#include "dsp/effects/quad_phaser.h"
#include "dsp/effects/rich_chorus.h"
#include "dsp/effects/ring_modulator.h"
#include "dsp/effects/rotary_speaker.h"
#include "dsp/effects/stereo_delay.h"
#include "dsp/effects/stereo_reverb.h"
#include "dsp/effects/tap_reverb.h"
#include "dsp/effects/three_band_eq.h"

namespace pelko {
namespace {

using Maker = std::unique_ptr<Effect> (*)(const EffectKind& kind, float sampleRate);

template <class T>
std::unique_ptr<Effect> make(const EffectKind&, float sampleRate)
{
    return std::make_unique<T>(sampleRate);
}

template <class T>
std::unique_ptr<Effect> makeKind(const EffectKind& kind, float sampleRate)
{
    return std::make_unique<T>(kind, sampleRate);
}

struct EffectType {
    const EffectKind* kind;
    Maker maker;
};

// Menu order.
const EffectType kTypes[kEffectTypeCount] = {
    {&kOffKind, make<OffEffect>},
    {&kStereoDelayKind, makeKind<StereoDelay>},
    {&kCrossDelayKind, makeKind<StereoDelay>},
    {&kAutoPanKind, make<AutoPan>},
    {&kRotarySpeakerKind, make<RotarySpeaker>},
    {&kChorusKind, makeKind<ChorusFlanger>},
    {&kRichChorusKind, make<RichChorus>},
    {&kCrazyCombKind, make<CrazyComb>},
    {&kFlangerKind, makeKind<ChorusFlanger>},
    {&kStereoEnsembleKind, makeKind<Ensemble>},
    {&kCrossEnsembleKind, makeKind<Ensemble>},
    {&kRichEnsembleKind, make<RichEnsemble>},
    {&kQuadPhaserKind, make<QuadPhaser>},
    {&kStereoReverbKind, makeKind<StereoReverb>},
    {&kTapReverbKind, make<TapReverb>},
    {&kStereoOktaverbKind, makeKind<StereoReverb>},
    {&kThreeBandEqKind, make<ThreeBandEq>},
    {&kRingModulatorKind, make<RingModulator>},
    {&kOverdriveKind, make<Overdrive>},
};

}  // namespace

const EffectKind& effectKindAtMenuIndex(int menuIndex)
{
    if (menuIndex < 0 || menuIndex >= kEffectTypeCount) {
        return kOffKind;
    }
    return *kTypes[menuIndex].kind;
}

int effectMenuIndex(int typeId)
{
    for (int i = 0; i < kEffectTypeCount; ++i) {
        if (kTypes[i].kind->typeId == typeId) {
            return i;
        }
    }
    return -1;
}

std::unique_ptr<Effect> createEffect(int typeId, float sampleRate)
{
    const int index = effectMenuIndex(typeId);
    if (index < 0) {
        return nullptr;
    }
    return kTypes[index].maker(*kTypes[index].kind, sampleRate);
}

}  // namespace pelko
