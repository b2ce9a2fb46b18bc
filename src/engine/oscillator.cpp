#include "engine/oscillator.h"

#include "engine/engine_random.h"
#include "engine/program_access.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"

#include <algorithm>
#include <cmath>

namespace pelko {
namespace {

// Zones longer than this could not be addressed exactly by a float position.
constexpr std::uint32_t kLongestZone = 1u << 24;

int clampKey(int key) { return std::clamp(key, 0, 127); }

float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

void Oscillator::disable()
{
    enabled_ = false;
    active_ = false;
    dropWave();
}

void Oscillator::dropWave()
{
    wave_.reset();
    samples_ = nullptr;
    for (EnvelopeRunner* envelope : {&amp_, &shaper_, &pitch_, &phaseEnvelope_}) {
        envelope->forget();
    }
}

void Oscillator::start(const NoteStart& n, int index, ActiveEnvelopes& active)
{
    const VoiceContext& context = n.context;
    const Program& program = *context.program;
    const EngineSettings& settings = *context.settings;
    const OscillatorSettings& s = settings.oscillators[static_cast<std::size_t>(index)];
    const WaveSlot& slot = context.waves[index];

    // 1. Does the oscillator play at all?
    const auto& name = program.objectAs<WaveNameObject>(object::kOscShapeId + index);
    if (!name.selectsWave() || slot.empty()) {
        disable();
        return;
    }
    enabled_ = true;
    active_ = true;

    // 2. Key selection.
    const FixedPitchObject::Setting& fixed = program.objectAs<FixedPitchObject>(object::kFixedPitchValues).setting(index);
    int trackedKey;
    int zoneKey;
    const int coarse = std::clamp(s.coarse, 0, 96);
    if (fixed.on) {
        trackedKey = zoneKey = clampKey(fixed.key);
    } else {
        trackedKey = clampKey(static_cast<int>(127.0f * curveOf(program, object::kOscKeyPitch + index).at(n.note)));
        zoneKey = clampKey(trackedKey + coarse - 48);
    }

    // 3. The zone; a zone without samples or loop leaves the oscillator silent for this note.
    wave_ = slot.shared();
    const WaveZone& zone = wave_->zoneForKey(zoneKey);
    const std::int64_t loopLength = static_cast<std::int64_t>(zone.length) - zone.loopStart;
    if (zone.length == 0 || zone.length > kLongestZone || loopLength <= 0 || zone.loopStart < 0 ||
        zone.samples == nullptr || !(zone.rootFrequency > 0.0f) || !std::isfinite(zone.rootFrequency)) {
        disable();
        return;
    }
    length_ = static_cast<float>(zone.length);
    loopLength_ = static_cast<float>(loopLength);
    samples_ = zone.samples;

    // 4. Root and FM depth.
    invRoot_ = 1.0f / zone.rootFrequency;
    const float fmScale = 22050.0f * invRoot_;
    fmDepthAtStart_ = fmDepth_ = curveOf(program, object::kOscFmVelocity + index).at(n.velocity) *
                                 curveOf(program, object::kOscFmKey + index).at(n.note) * fmScale;

    // 5.
    phase_ = 0.0f;
    fmInput_ = 0.0f;

    // 6. Detune, −2…+2 Hz.
    const float detuneHz = 4.0f * curveOf(program, object::kOscKeyDetune + index).at(trackedKey) - 2.0f;

    // 7. Increment.
    double increment;
    if (fixed.on) {
        increment = (static_cast<double>(finiteOr(fixed.frequency, FixedPitchObject::kDefaultFrequency)) + detuneHz) *
                    invRoot_;
    } else {
        const float r = n.randomValue;
        const float randomFactor =
            r <= 1.0f ? 1.0f + (s.randomPitchDown - 1.0f) * r : 1.0f + (s.randomPitchUp - 1.0f) * (r - 1.0f);
        const float keyPitch = 1.0f + (s.fineFactor - 1.0f) * curveOf(program, object::kOscKeyFine + index).at(n.note);
        const float coarseRatio = std::exp2(static_cast<float>(coarse - 48) / 12.0f);
        increment = (static_cast<double>((*context.frequencies)[static_cast<std::size_t>(trackedKey)]) + detuneHz) *
                    keyPitch * s.rateFactor * randomFactor * coarseRatio * invRoot_;
    }
    increment = increment * 0.5 / context.sampleRate * 88200.0;
    if (!std::isfinite(increment)) {
        increment = 0.0;
    }
    if (std::fabs(increment) > length_) {
        increment = std::fmod(increment, static_cast<double>(length_));  // very high pitches alias
    }
    increment_ = static_cast<float>(increment);

    // 8. Envelopes.
    const float rate = context.sampleRate;
    const float tempo = context.tempo;
    const int v = n.velocity;
    const int k = n.note;

    const EnvelopeShape& ampShape = shapeOf(program, object::kOscEnv + index);
    const float level = curveOf(program, object::kOscVelocityLevel + index).at(v) *
                        curveOf(program, object::kOscKeyLevel + index).at(k) * ampShape.depth();
    silent_ = !(std::isfinite(level) && level != 0.0f);
    amp_.start(level, envelopeTimeScale(ampShape, rate, tempo),
               curveOf(program, object::kOscVelocityTime + index).at(v) *
                   curveOf(program, object::kOscKeyTime + index).at(k),
               ampShape);
    active.add(&amp_);

    const EnvelopeShape& shaperShape = shapeOf(program, object::kOscWaveshaperEnv + index);
    shaperMoves_ = shaper_.start(curveOf(program, object::kOscVelocityWaveshaperLevel + index).at(v) *
                          curveOf(program, object::kOscKeyWaveshaperLevel + index).at(k) * shaperShape.depth(),
                      envelopeTimeScale(shaperShape, rate, tempo),
                      curveOf(program, object::kOscVelocityWaveshaperTime + index).at(v) *
                          curveOf(program, object::kOscKeyWaveshaperTime + index).at(k),
                      shaperShape);
    heldShaper_ = shaper_.output();
    if (shaperMoves_) {
        active.add(&shaper_);
    }
    shaperCurve_ = &program.objectAs<WaveshaperObject>(object::kOscWaveshape + index).curve();

    const EnvelopeShape& pitchShape = shapeOf(program, object::kOscPitchEnv + index);
    const float pitchDepth = 1.0f + (s.pitchModDepth - 1.0f) *
                                        curveOf(program, object::kOscVelocityPitchEnvLevel + index).at(v) *
                                        curveOf(program, object::kOscKeyPitchEnvLevel + index).at(k) *
                                        pitchShape.depth();
    pitchMoves_ = pitch_.start(1.0f, envelopeTimeScale(pitchShape, rate, tempo),
                     curveOf(program, object::kOscVelocityPitchEnvTime + index).at(v) *
                         curveOf(program, object::kOscKeyPitchEnvTime + index).at(k),
                     pitchShape, EnvelopeRunner::kMinSegment, EnvelopeRunner::pitchRatio,
                     std::max(finiteOr(pitchDepth, 1.0f), 0.0f));
    heldPitch_ = pitch_.output();
    if (pitchMoves_) {
        active.add(&pitch_);
    }

    const EnvelopeShape& phaseShape = shapeOf(program, object::kOscPhaseEnv + index);
    float phaseScale = s.phaseAmount * curveOf(program, object::kOscKeyPhase + index).at(k) *
                       curveOf(program, object::kOscVelocityPhase + index).at(v) * phaseShape.depth();
    if (s.randomPhase) {
        phaseScale *= nextBipolarRandom();
    }
    phaseMoves_ = phaseEnvelope_.start(phaseScale, envelopeTimeScale(phaseShape, rate, tempo), 1.0f, phaseShape,
                                       EnvelopeRunner::kMinSegment, EnvelopeRunner::phaseOffset, length_);
    heldPhase_ = phaseEnvelope_.output();
    if (phaseMoves_) {
        active.add(&phaseEnvelope_);
    }
}

void Oscillator::setGlide(float ratio, int samples, float reciprocal)
{
    if (!std::isfinite(ratio) || ratio <= 0.0f || samples <= 0) {
        resetGlide();
        return;
    }
    glideRatio_ = ratio;
    glideStep_ = (1.0f - ratio) * reciprocal;
    glideSamplesLeft_ = samples;
}

void Oscillator::resetGlide()
{
    glideRatio_ = 1.0f;
    glideStep_ = 0.0f;
    glideSamplesLeft_ = 0;
}

void Oscillator::setAftertouch(int pressure, const VoiceContext& context, int index)
{
    if (!active_) {
        return;
    }
    const Program& program = *context.program;
    shaperAmount_ = curveOf(program, object::kAftertouchOscWaveshaper + index).at(pressure);
    fmDepth_ = fmDepthAtStart_ * curveOf(program, object::kOscFmAftertouch + index).at(pressure);
}

void Oscillator::release()
{
    if (!active_) {
        return;
    }
    amp_.release();
    if (shaperTable() != nullptr) {
        shaper_.release();
    }
    pitch_.release();
    phaseEnvelope_.release();
}

void Oscillator::fastFade()
{
    if (active_) {
        amp_.fastFade();
    }
}

void Oscillator::resume()
{
    if (enabled_) {
        active_ = true;
        amp_.softRestart();
    }
}

void Oscillator::clearState()
{
    phase_ = 0.0f;
    fmInput_ = 0.0f;
    resetGlide();
}

float Oscillator::wrap(float pos) const
{
    if (!std::isfinite(pos)) {
        return 0.0f;
    }
    const double length = length_;
    const double loopLength = loopLength_;
    const double loopStart = length - loopLength;
    double p = pos;
    if (p < 0.0) {
        p = std::fmod(p, length);
        if (p < 0.0) {
            p += length;
        }
    }
    if (p >= length) {
        p = loopStart + std::fmod(p - loopStart, loopLength);
    }
    auto wrapped = static_cast<float>(p);
    if (!(wrapped >= 0.0f && wrapped < length_)) {
        wrapped = static_cast<float>(loopStart);  // rounding landed on the end: the loop's start
    }
    return wrapped;
}

}  // namespace pelko
