#include "engine/voice.h"

#include "dsp/filters/filter.h"
#include "dsp/filters/filter_tables.h"
#include "engine/engine_random.h"
#include "engine/program_access.h"
#include "engine/step_sequencer.h"
#include "params/patch_object_table.h"

#include <cmath>

namespace pelko {
namespace {

// 2^(2/12) − 1: full global pitch envelope depth reaches ±2 semitones.
constexpr float kGlobalPitchRange = 0.122462034f;
constexpr float kTinyGlide = 1e-24f;

float finiteOrZero(float v) { return std::isfinite(v) ? v : 0.0f; }

const FilterTables& tablesOf(const VoiceContext& context)
{
    return context.filterTables != nullptr ? *context.filterTables : defaultFilterTables();
}

}  // namespace

Voice::Voice(VoiceContext& context)
    : context_(context),
      filterSlots_{FilterSlot(tablesOf(context)), FilterSlot(tablesOf(context))}
{
}

void Voice::start(int note, int velocity)
{
    const VoiceContext& c = context_;
    const Program& program = *c.program;
    note = note < 0 ? 0 : (note > 127 ? 127 : note);
    velocity = velocity < 0 ? 0 : (velocity > 127 ? 127 : velocity);

    // 1.
    note_ = static_cast<std::uint8_t>(note);
    velocity_ = static_cast<std::int8_t>(velocity);
    keyDown_ = true;
    parentNote_ = kKeyVoice;
    controlCountdown_ = kControlPeriod;
    age_ = 0;
    finished_ = sustained_ = sounding_ = stopped_ = resumed_ = false;
    poisoned_ = false;
    returnList = nullptr;
    setPitchBend(c.pitchBend);

    // 2.
    randomValue_ = 2.0f * (static_cast<float>(nextEngineRandom()) - 32768.0f) / 32768.0f;

    // 3.
    setGlide();

    // 4.
    active_.clear();
    const NoteStart noteStart{c, note, velocity, randomValue_};
    for (int i = 0; i < 6; ++i) {
        oscillators_[static_cast<std::size_t>(i)].start(noteStart, i, active_);
    }
    modValues_.fill(0.0f);

    // 5. Filters and their control-rate envelopes.
    const float controlRate = c.sampleRate / static_cast<float>(kControlPeriod);
    for (int f = 0; f < 2; ++f) {
        const auto at = static_cast<std::size_t>(f);
        Filter* filter = filterSlots_[at].create(c.filterTypes[at]);
        aftertouchCutoff_[at] = aftertouchResonance_[at] = 1.0f;
        if (filter != nullptr) {
            const EnvelopeShape& cutoffShape = shapeOf(program, object::kFilterEnv + f);
            cutoffEnvelope_[at].start(cutoffShape.depth(), envelopeTimeScale(cutoffShape, controlRate, c.tempo),
                                      curveOf(program, object::kFilterKeyTime + f).at(note) *
                                          curveOf(program, object::kFilterVelocityTime + f).at(velocity),
                                      cutoffShape);
            const EnvelopeShape& resonanceShape = shapeOf(program, object::kFilterResonanceEnv + f);
            resonanceEnvelope_[at].start(
                resonanceShape.depth(), envelopeTimeScale(resonanceShape, controlRate, c.tempo),
                curveOf(program, object::kFilterKeyResonanceTime + f).at(note) *
                    curveOf(program, object::kFilterVelocityResonanceTime + f).at(velocity),
                resonanceShape);
        }
        const float a = curveOf(program, object::kFilterVelocityPan + f).at(velocity);
        const float b = curveOf(program, object::kFilterKeyPan + f).at(note);
        filterPanLeft_[at] = a * b;
        filterPanRight_[at] = (1.0f - a) * (1.0f - b);
    }

    // 6. Product buses.
    for (int bus = 0; bus < 2; ++bus) {
        const auto& inputs = c.busInputs[static_cast<std::size_t>(bus)];
        const bool silent = inputs[0] < 0 && inputs[1] < 0 && inputs[2] < 0;
        for (int k = 0; k < 3; ++k) {
            const int osc = inputs[static_cast<std::size_t>(k)];
            const float* source = silent ? &zero_ : (osc >= 0 && osc < 6 ? &modValues_[static_cast<std::size_t>(osc)] : &one_);
            busInputs_[static_cast<std::size_t>(bus)][static_cast<std::size_t>(k)] = source;
        }
    }

    // 7. Sequencer.
    stepIndex_ = 0;
    stepCountdown_ = c.settings->sequencer.samplesPerStep;
    gateCountdown_ = 0;

    // 8. Global pitch envelope.
    const EnvelopeShape& globalShape = shapeOf(program, object::kGlobalPitchEnv);
    const float globalDepth = 1.0f + kGlobalPitchRange * curveOf(program, object::kVibratoAmountKey).at(note) *
                                         curveOf(program, object::kVibratoAmountVelocity).at(velocity) *
                                         globalShape.depth();
    if (globalPitchEnvelope_.start(1.0f, envelopeTimeScale(globalShape, c.sampleRate, c.tempo), 1.0f, globalShape,
                                   EnvelopeRunner::kMinSegment, EnvelopeRunner::pitchRatio, globalDepth)) {
        active_.add(&globalPitchEnvelope_);
    }

    // 9.
    setAftertouch(c.aftertouch);

    // 10. Initial filter settings, without glide.
    setCutoff(0, c.settings->cutoff[0]);
    setCutoff(1, c.settings->cutoff[1]);
    cutoffGlide_ = {0.0f, 0.0f};
    setResonance(0, c.settings->resonance[0]);
    setResonance(1, c.settings->resonance[1]);
    controlTick();
}

void Voice::setGlide()
{
    VoiceContext& c = context_;
    const EngineSettings& settings = *c.settings;
    const bool glide = settings.glideOn && c.lastNote >= 0 && c.lastNote < 128;
    float ratio = 1.0f;
    if (glide) {
        ratio = (*c.frequencies)[static_cast<std::size_t>(c.lastNote)] / (*c.frequencies)[note_];
    }
    for (int i = 0; i < 6; ++i) {
        Oscillator& osc = oscillators_[static_cast<std::size_t>(i)];
        const OscillatorSettings& s = settings.oscillators[static_cast<std::size_t>(i)];
        if (glide) {
            osc.setGlide(ratio, s.glideSamples, s.glideReciprocal);
        } else {
            osc.resetGlide();
        }
    }
    c.lastNote = note_;
}

void Voice::keyUp()
{
    keyDown_ = false;
    if (context_.sustainPedal) {
        sustained_ = true;
    } else {
        sustained_ = false;
        release();
    }
}

void Voice::setPitchBend(float ratio) { pitchBend_ = std::isfinite(ratio) && ratio > 0.0f ? ratio : 1.0f; }

void Voice::setAftertouch(int pressure)
{
    pressure = pressure < 0 ? 0 : (pressure > 127 ? 127 : pressure);
    const Program& program = *context_.program;
    for (int i = 0; i < 6; ++i) {
        oscillators_[static_cast<std::size_t>(i)].setAftertouch(pressure, context_, i);
    }
    for (int f = 0; f < 2; ++f) {
        if (filterSlots_[static_cast<std::size_t>(f)].filter() != nullptr) {
            aftertouchCutoff_[static_cast<std::size_t>(f)] = curveOf(program, object::kAftertouchFilterCutoff + f).at(pressure);
            aftertouchResonance_[static_cast<std::size_t>(f)] =
                curveOf(program, object::kAftertouchFilterResonance + f).at(pressure);
        }
    }
    globalPitchDepth_ = curveOf(program, object::kVibratoAmountAftertouch).at(pressure);
}

void Voice::setCutoff(int filterIndex, float value)
{
    if (filterIndex < 0 || filterIndex > 1) {
        return;
    }
    const auto at = static_cast<std::size_t>(filterIndex);
    const Program& program = *context_.program;
    const float target = finiteOrZero(curveOf(program, object::kFilterVelocityCutoff + filterIndex).at(velocity_) *
                                      curveOf(program, object::kFilterKeyCutoff + filterIndex).at(note_) * value);
    cutoffGlide_[at] = target - (baseCutoff_[at] - cutoffGlide_[at]);
    baseCutoff_[at] = target;
}

void Voice::setResonance(int filterIndex, float value)
{
    if (filterIndex < 0 || filterIndex > 1) {
        return;
    }
    const Program& program = *context_.program;
    baseResonance_[static_cast<std::size_t>(filterIndex)] =
        finiteOrZero(curveOf(program, object::kFilterVelocityResonance + filterIndex).at(velocity_) *
                     curveOf(program, object::kFilterKeyResonance + filterIndex).at(note_) * value);
}

void Voice::release()
{
    sounding_ = true;
    for (Oscillator& osc : oscillators_) {
        osc.release();
    }
    for (int f = 0; f < 2; ++f) {
        if (filterSlots_[static_cast<std::size_t>(f)].filter() != nullptr) {
            cutoffEnvelope_[static_cast<std::size_t>(f)].release();
            resonanceEnvelope_[static_cast<std::size_t>(f)].release();
        }
    }
    globalPitchEnvelope_.release();
}

void Voice::stop(VoiceList* list)
{
    returnList = list;
    if (stopped_) {
        return;
    }
    stopped_ = true;
    resumed_ = false;
    sounding_ = false;
    for (Oscillator& osc : oscillators_) {
        osc.fastFade();
    }
}

void Voice::resume(VoiceList* list)
{
    returnList = list;
    if (resumed_) {
        return;
    }
    resumed_ = true;
    stopped_ = false;
    finished_ = false;  // a voice parked on the held stack had finished its fade
    for (Oscillator& osc : oscillators_) {
        osc.resume();
    }
}

void Voice::takeFilterEnvelopesFrom(const Voice& from)
{
    for (int f = 0; f < 2; ++f) {
        const auto at = static_cast<std::size_t>(f);
        if (filterSlots_[at].filter() == nullptr || from.filterSlots_[at].filter() == nullptr) {
            continue;
        }
        const EnvelopeRunner& cutoff = from.cutoffEnvelope_[at];
        cutoffEnvelope_[at].jumpTo(cutoff.currentSegment(), cutoff.currentValue(), cutoff.remainingFraction());
        const EnvelopeRunner& resonance = from.resonanceEnvelope_[at];
        resonanceEnvelope_[at].jumpTo(resonance.currentSegment(), resonance.currentValue(),
                                      resonance.remainingFraction());
    }
}

void Voice::takeGains()
{
    const EngineSettings& s = *context_.settings;
    for (int i = 0; i < 6; ++i) {
        const auto at = static_cast<std::size_t>(i);
        int count = 0;
        for (int j = 0; j < 8; ++j) {
            const float gain = finiteOrZero(s.fmGain[at][static_cast<std::size_t>(j)]);
            if (gain != 0.0f) {
                fmSources_[at][static_cast<std::size_t>(count)] = static_cast<std::uint8_t>(j);
                fmGains_[at][static_cast<std::size_t>(count)] = gain;
                ++count;
            }
        }
        fmSourceCount_[at] = count;
        const OscillatorSettings& o = s.oscillators[at];
        oscSends_[at] = {finiteOrZero(o.sendFilter1), finiteOrZero(o.sendFilter2), finiteOrZero(o.direct)};
    }
    for (int bus = 0; bus < 2; ++bus) {
        for (int k = 0; k < 3; ++k) {
            busSends_[static_cast<std::size_t>(bus)][static_cast<std::size_t>(k)] =
                finiteOrZero(s.busSend[static_cast<std::size_t>(bus)][static_cast<std::size_t>(k)]);
        }
    }
    vibratoDepth_ = finiteOrZero(s.vibratoDepth);
}

void Voice::recover()
{
    poisoned_ = false;
    for (Oscillator& osc : oscillators_) {
        osc.clearState();
    }
    modValues_.fill(0.0f);
    for (FilterSlot& slot : filterSlots_) {
        if (Filter* filter = slot.filter()) {
            filter->reset();
        }
    }
}

void Voice::controlTick()
{
    controlCountdown_ = kControlPeriod;
    ++age_;
    if (poisoned_) {
        recover();
    }
    takeGains();
    const EngineSettings& s = *context_.settings;
    for (int f = 0; f < 2; ++f) {
        const auto at = static_cast<std::size_t>(f);
        Filter* filter = filterSlots_[at].filter();
        if (filter == nullptr) {
            continue;
        }
        const float e = s.cutoffEnvMod[at];
        float envFactor = 1.0f - e;
        if (cutoffEnvelope_[at].running()) {
            cutoffEnvelope_[at].step();
            envFactor += e * cutoffEnvelope_[at].output();
        }
        const float r = s.resonanceEnvMod[at];
        float rezFactor = 1.0f - r;
        if (resonanceEnvelope_[at].running()) {
            resonanceEnvelope_[at].step();
            rezFactor += r * resonanceEnvelope_[at].output();
        }
        appliedResonance_[at] = baseResonance_[at] * aftertouchResonance_[at] * rezFactor;
        appliedCutoff_[at] = (baseCutoff_[at] - cutoffGlide_[at]) * aftertouchCutoff_[at] * envFactor;
        cutoffGlide_[at] *= filter->smoothing();
        if (std::fabs(cutoffGlide_[at]) < kTinyGlide) {
            cutoffGlide_[at] = kTinyGlide;
        }
        filter->setCutoffAndResonance(appliedCutoff_[at], appliedResonance_[at]);
        filter->flushDenormals();
    }
}

void Voice::render()
{
    // 1. Control tick.
    if (--controlCountdown_ <= 0) {
        controlTick();
    }
    // 2. Step sequencer.
    const SequencerSettings& sequencer = context_.settings->sequencer;
    if (sequencer.steps != 0 && manager_ != nullptr) {
        StepSequencer::advance(*this, *manager_, sequencer);
    }
    // 3. Envelopes.
    active_.stepAll();
    // 4. FM inputs from the previous sample.
    for (int i = 0; i < 6; ++i) {
        Oscillator& osc = oscillators_[static_cast<std::size_t>(i)];
        if (osc.active()) {
            const auto at = static_cast<std::size_t>(i);
            osc.computeFmInput(fmSources_[at].data(), fmGains_[at].data(), fmSourceCount_[at], modValues_.data());
        }
    }
    // 5. Pitch factor.
    const float g = globalPitchDepth_ * vibratoDepth_;
    const float pitchFactor = (1.0f + g * (globalPitchEnvelope_.output() - 1.0f)) * pitchBend_;
    // 6. Oscillators.
    float toFilter1 = 0.0f;
    float toFilter2 = 0.0f;
    float direct = 0.0f;
    int running = 0;
    for (int i = 0; i < 6; ++i) {
        const auto at = static_cast<std::size_t>(i);
        Oscillator& osc = oscillators_[at];
        if (!osc.active()) {
            continue;
        }
        const float s = osc.render(pitchFactor);
        modValues_[at] = s;
        toFilter1 += s * oscSends_[at][0];
        toFilter2 += s * oscSends_[at][1];
        direct += s * oscSends_[at][2];
        running += osc.active() ? 1 : 0;
    }
    // 7. Product buses.
    for (int bus = 0; bus < 2; ++bus) {
        const auto at = static_cast<std::size_t>(bus);
        const auto& in = busInputs_[at];
        const float product = *in[0] * *in[1] * *in[2];
        modValues_[6 + at] = product;
        toFilter1 += product * busSends_[at][0];
        toFilter2 += product * busSends_[at][1];
        direct += product * busSends_[at][2];
    }
    // 8, 9. Filters and pan.
    Filter* filter1 = filterSlots_[0].filter();
    Filter* filter2 = filterSlots_[1].filter();
    const float f1 = filter1 != nullptr ? filter1->process(toFilter1) : 0.0f;
    const float f2 = filter2 != nullptr ? filter2->process(toFilter2) : 0.0f;
    outLeft_ = direct + f1 * filterPanLeft_[0] + f2 * filterPanLeft_[1];
    outRight_ = direct + f1 * filterPanRight_[0] + f2 * filterPanRight_[1];
    if (!std::isfinite(outLeft_ + outRight_)) {
        outLeft_ = outRight_ = 0.0f;
        modValues_.fill(0.0f);
        poisoned_ = true;
    }
    // 10.
    if (!sounding_) {
        sounding_ = running > 0;
    } else if (running == 0) {
        finished_ = true;
    }
}

void Voice::reset()
{
    outLeft_ = outRight_ = 0.0f;
    active_.clear();
    for (FilterSlot& slot : filterSlots_) {
        slot.clear();
    }
    for (Oscillator& osc : oscillators_) {
        osc.resetGlide();
        osc.dropWave();
    }
    for (int f = 0; f < 2; ++f) {
        cutoffEnvelope_[static_cast<std::size_t>(f)].forget();
        resonanceEnvelope_[static_cast<std::size_t>(f)].forget();
    }
    globalPitchEnvelope_.forget();
    modValues_.fill(0.0f);
    poisoned_ = false;
}

void Voice::prepareFilters(const FilterTables& tables)
{
    for (FilterSlot& slot : filterSlots_) {
        slot.prepare(tables);
    }
}

}  // namespace pelko
