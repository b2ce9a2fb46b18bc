#include "engine/voice_lanes.h"

#include "dsp/filters/filter.h"
#include "dsp/filters/filter_types.h"
#include "dsp/filters/state_variable_filter.h"
#include "engine/voice.h"

#include <atomic>
#include <cstdint>

#include <immintrin.h>

namespace pelko {
namespace {

// What a lane reads where its voice has no wave or no shaper: zeros, long enough for any index the
// masked lanes can form.
alignas(64) const std::int16_t kSilentSamples[2] = {0, 0};
alignas(64) const float kFlatShaper[WaveshaperCurve::kPoints + 1] = {};

}  // namespace

// Every helper below is inlined into one of the two render functions, so the vectors never cross a
// call and the warning about how they would be passed does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#define PELKO_LANES_INLINE inline __attribute__((always_inline))

// The state of up to W voices laid across the lanes of W-wide vectors. Vector comparisons give
// −1 (all bits) for true and 0 for false; `mask ? a : b` chooses per lane.
struct VoiceLanes::Block {
    static constexpr int W = kLanes;
    typedef float F __attribute__((vector_size(4 * kLanes)));
    typedef std::int32_t I __attribute__((vector_size(4 * kLanes)));

    static constexpr int kEnvelopes = 25;  // four per oscillator, then the global pitch envelope
    static constexpr int kGlobalPitch = 24;

    struct Envelope {
        F x, value, rate, exponent, offset, output;
        I left;      // samples left in the segment
        I stepping;  // listed among the voice's changing envelopes
        I running;   // not ended
    };
    struct Osc {
        F phase, increment, length, loopLength, fmInput, fmDepth, glideRatio, glideStep, shaperAmount;
        F heldPitch, heldPhase, heldShaper;
        I glideLeft, pitchMoves, phaseMoves, shaperMoves, active, silent, hasShaper;
        const std::int16_t* samples[W];
        const float* table[W];
    };

    // A filter slot of every lane. When every lane's filter in the slot is of one state-variable or
    // analog type (or absent), the lanes run it here; otherwise each lane calls its own filter.
    struct LaneFilter {
        F coef[4];
        F state[12];
        F previous;
        I poisoned;
        I present;
        int type;
        bool inLanes;
        Filter* filter[W];
    };

    Voice* voice[W];
    LaneFilter filters[2];
    Envelope env[kEnvelopes];
    Osc osc[6];
    F mod[8];
    F pitchBend, pitchDepth, gain[6][8], send[6][3], busSend[2][3], panLeft[2], panRight[2];
    I gainOn[6][8];
    // The FM sources of each oscillator that some lane listens to, in ascending order.
    int sources[6][8];
    int sourceCount[6];
    I countdown, sounding, poisoned, live;
    // Product-bus inputs: 0–7 a modulation value, 8 the constant 1, 9 the constant 0; the same in
    // every lane unless busesVary.
    int busInput[2][3];
    bool busesVary;
    int laneBus[W][2][3];
    bool anyStepping[kEnvelopes];
    bool anyShaper[6];

    static PELKO_LANES_INLINE bool any(I m)
    {
        typedef std::int32_t Half __attribute__((vector_size(16)));
        const Half low = __builtin_shufflevector(m, m, 0, 1, 2, 3);
        const Half high = __builtin_shufflevector(m, m, 4, 5, 6, 7);
        return _mm_movemask_ps(reinterpret_cast<__m128>(low | high)) != 0;
    }
    static PELKO_LANES_INLINE F splat(float v)
    {
        F r;
        for (int l = 0; l < W; ++l) {
            r[l] = v;
        }
        return r;
    }
    static PELKO_LANES_INLINE I splatInt(std::int32_t v)
    {
        I r;
        for (int l = 0; l < W; ++l) {
            r[l] = v;
        }
        return r;
    }
    static PELKO_LANES_INLINE std::int32_t truth(bool b) { return b ? -1 : 0; }

    static EnvelopeRunner& runner(Voice& v, int e)
    {
        if (e == kGlobalPitch) {
            return v.globalPitchEnvelope_;
        }
        Oscillator& o = v.oscillators_[static_cast<std::size_t>(e / 4)];
        switch (e % 4) {
        case 0:
            return o.amp_;
        case 1:
            return o.shaper_;
        case 2:
            return o.pitch_;
        default:
            return o.phaseEnvelope_;
        }
    }

    // ---- between the voices and the lanes -------------------------------------------------------

    PELKO_LANES_INLINE void gatherEnvelope(int e, int l)
    {
        const EnvelopeRunner& r = runner(*voice[l], e);
        Envelope& d = env[e];
        d.x[l] = r.x_;
        d.value[l] = r.value_;
        d.rate[l] = r.rate_;
        d.exponent[l] = r.exponent_;
        d.offset[l] = r.offset_;
        d.output[l] = r.output_;
        d.left[l] = r.samplesLeft_;
        d.running[l] = truth(r.running());
    }
    PELKO_LANES_INLINE void scatterEnvelope(int e, int l) const
    {
        EnvelopeRunner& r = runner(*voice[l], e);
        const Envelope& d = env[e];
        r.x_ = d.x[l];
        r.value_ = d.value[l];
        r.output_ = d.output[l];
        r.samplesLeft_ = d.left[l];
    }

    PELKO_LANES_INLINE void listSources()
    {
        for (int i = 0; i < 6; ++i) {
            int n = 0;
            for (int j = 0; j < 8; ++j) {
                if (any(gainOn[i][j])) {
                    sources[i][n++] = j;
                }
            }
            sourceCount[i] = n;
        }
    }

    // What the voice's control tick may change.
    PELKO_LANES_INLINE void gatherGains(int l)
    {
        const Voice& v = *voice[l];
        for (int i = 0; i < 6; ++i) {
            const auto at = static_cast<std::size_t>(i);
            for (int j = 0; j < 8; ++j) {
                gain[i][j][l] = 0.0f;
                gainOn[i][j][l] = 0;
            }
            for (int k = 0; k < v.fmSourceCount_[at]; ++k) {
                const int j = v.fmSources_[at][static_cast<std::size_t>(k)];
                gain[i][j][l] = v.fmGains_[at][static_cast<std::size_t>(k)];
                gainOn[i][j][l] = -1;
            }
            for (int k = 0; k < 3; ++k) {
                send[i][k][l] = v.oscSends_[at][static_cast<std::size_t>(k)];
            }
        }
        for (int b = 0; b < 2; ++b) {
            for (int k = 0; k < 3; ++k) {
                busSend[b][k][l] = v.busSends_[static_cast<std::size_t>(b)][static_cast<std::size_t>(k)];
            }
        }
        pitchDepth[l] = v.globalPitchDepth_ * v.vibratoDepth_;
        countdown[l] = v.controlCountdown_;
        poisoned[l] = truth(v.poisoned_);
    }
    PELKO_LANES_INLINE void gatherRunningState(int l)
    {
        const Voice& v = *voice[l];
        for (int i = 0; i < 6; ++i) {
            const Oscillator& o = v.oscillators_[static_cast<std::size_t>(i)];
            osc[i].phase[l] = o.phase_;
            osc[i].fmInput[l] = o.fmInput_;
            osc[i].glideRatio[l] = o.glideRatio_;
            osc[i].glideStep[l] = o.glideStep_;
            osc[i].glideLeft[l] = o.glideSamplesLeft_;
        }
        for (int j = 0; j < 8; ++j) {
            mod[j][l] = v.modValues_[static_cast<std::size_t>(j)];
        }
    }

    PELKO_LANES_INLINE void gatherLane(int l)
    {
        Voice& v = *voice[l];
        for (int i = 0; i < 6; ++i) {
            const Oscillator& o = v.oscillators_[static_cast<std::size_t>(i)];
            Osc& d = osc[i];
            d.increment[l] = o.increment_;
            d.length[l] = o.length_;
            d.loopLength[l] = o.loopLength_;
            d.fmDepth[l] = o.fmDepth_;
            d.shaperAmount[l] = o.shaperAmount_;
            d.heldPitch[l] = o.heldPitch_;
            d.heldPhase[l] = o.heldPhase_;
            d.heldShaper[l] = o.heldShaper_;
            d.pitchMoves[l] = truth(o.pitchMoves_);
            d.phaseMoves[l] = truth(o.phaseMoves_);
            d.shaperMoves[l] = truth(o.shaperMoves_);
            d.active[l] = truth(o.active_);
            d.silent[l] = truth(o.silent_);
            // Only an oscillator that started with this note has a shaper of the current program; a
            // disabled one may still point at an object of a program since exchanged.
            const float* table = o.active_ ? o.shaperTable() : nullptr;
            d.hasShaper[l] = truth(table != nullptr);
            d.table[l] = table != nullptr ? table : kFlatShaper;
            d.samples[l] = o.samples_ != nullptr ? o.samples_ : kSilentSamples;
        }
        for (int e = 0; e < kEnvelopes; ++e) {
            gatherEnvelope(e, l);
            env[e].stepping[l] = 0;
        }
        for (int k = 0; k < v.active_.count(); ++k) {
            const EnvelopeRunner* listed = v.active_.at(k);
            for (int e = 0; e < kEnvelopes; ++e) {
                if (&runner(v, e) == listed) {
                    env[e].stepping[l] = -1;
                    break;
                }
            }
        }
        gatherGains(l);
        gatherRunningState(l);
        pitchBend[l] = v.pitchBend_;
        for (int f = 0; f < 2; ++f) {
            panLeft[f][l] = v.filterPanLeft_[static_cast<std::size_t>(f)];
            panRight[f][l] = v.filterPanRight_[static_cast<std::size_t>(f)];
        }
        filters[0].filter[l] = v.filterSlots_[0].filter();
        filters[1].filter[l] = v.filterSlots_[1].filter();
        sounding[l] = truth(v.sounding_);
        live[l] = -1;
        for (int b = 0; b < 2; ++b) {
            for (int k = 0; k < 3; ++k) {
                const float* input = v.busInputs_[static_cast<std::size_t>(b)][static_cast<std::size_t>(k)];
                int index = 9;
                if (input == &v.one_) {
                    index = 8;
                } else if (input >= v.modValues_.data() && input < v.modValues_.data() + 8) {
                    index = static_cast<int>(input - v.modValues_.data());
                }
                laneBus[l][b][k] = index;
            }
        }
    }

    PELKO_LANES_INLINE void emptyLane(int l)
    {
        voice[l] = nullptr;
        filters[0].filter[l] = filters[1].filter[l] = nullptr;
        for (Osc& d : osc) {
            d.increment[l] = d.fmDepth[l] = d.shaperAmount[l] = 0.0f;
            d.length[l] = d.loopLength[l] = 1.0f;
            d.heldPitch[l] = d.heldShaper[l] = 1.0f;
            d.heldPhase[l] = d.phase[l] = d.fmInput[l] = d.glideStep[l] = 0.0f;
            d.glideRatio[l] = 1.0f;
            d.glideLeft[l] = d.pitchMoves[l] = d.phaseMoves[l] = d.shaperMoves[l] = 0;
            d.active[l] = d.silent[l] = d.hasShaper[l] = 0;
            d.samples[l] = kSilentSamples;
            d.table[l] = kFlatShaper;
        }
        for (Envelope& d : env) {
            d.x[l] = d.value[l] = d.rate[l] = d.exponent[l] = d.offset[l] = d.output[l] = 0.0f;
            d.left[l] = 1000;
            d.stepping[l] = d.running[l] = 0;
        }
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 8; ++j) {
                gain[i][j][l] = 0.0f;
                gainOn[i][j][l] = 0;
            }
            for (int k = 0; k < 3; ++k) {
                send[i][k][l] = 0.0f;
            }
        }
        for (int j = 0; j < 8; ++j) {
            mod[j][l] = 0.0f;
        }
        for (int b = 0; b < 2; ++b) {
            for (int k = 0; k < 3; ++k) {
                busSend[b][k][l] = 0.0f;
                laneBus[l][b][k] = laneBus[0][b][k];
            }
            panLeft[b][l] = panRight[b][l] = 0.0f;
        }
        pitchBend[l] = 1.0f;
        pitchDepth[l] = 0.0f;
        countdown[l] = 1 << 30;
        sounding[l] = poisoned[l] = live[l] = 0;
    }

    PELKO_LANES_INLINE void scatterLane(int l) const
    {
        Voice& v = *voice[l];
        for (int i = 0; i < 6; ++i) {
            Oscillator& o = v.oscillators_[static_cast<std::size_t>(i)];
            const Osc& d = osc[i];
            o.phase_ = d.phase[l];
            o.fmInput_ = d.fmInput[l];
            o.glideRatio_ = d.glideRatio[l];
            o.glideSamplesLeft_ = d.glideLeft[l];
            o.active_ = d.active[l] != 0;
        }
        for (int e = 0; e < kEnvelopes; ++e) {
            if (env[e].stepping[l] != 0) {
                scatterEnvelope(e, l);
            }
        }
        for (int j = 0; j < 8; ++j) {
            v.modValues_[static_cast<std::size_t>(j)] = mod[j][l];
        }
        v.controlCountdown_ = countdown[l];
        v.poisoned_ = poisoned[l] != 0;
        v.sounding_ = sounding[l] != 0;
        scatterFilter(filters[0], l);
        scatterFilter(filters[1], l);
    }

    PELKO_LANES_INLINE void gather(Voice* const* voices, int count)
    {
        for (int l = 0; l < W; ++l) {
            voice[l] = l < count ? voices[l] : nullptr;
        }
        for (int l = 0; l < count; ++l) {
            gatherLane(l);
        }
        for (int l = count; l < W; ++l) {
            emptyLane(l);
        }
        busesVary = false;
        for (int b = 0; b < 2; ++b) {
            for (int k = 0; k < 3; ++k) {
                busInput[b][k] = laneBus[0][b][k];
                for (int l = 1; l < count; ++l) {
                    busesVary = busesVary || laneBus[l][b][k] != busInput[b][k];
                }
            }
        }
        for (LaneFilter& d : filters) {
            chooseFilterPath(d, count);
        }
        listSources();
        for (int e = 0; e < kEnvelopes; ++e) {
            anyStepping[e] = any(env[e].stepping);
        }
        for (int i = 0; i < 6; ++i) {
            anyShaper[i] = any(osc[i].hasShaper & osc[i].active);
        }
    }

    // ---- filters in lanes ------------------------------------------------------------------------

    static bool runsInLanes(int type) { return type >= filter_id::kLowpass12 && type <= filter_id::kAnalogHighpass3; }

    PELKO_LANES_INLINE void chooseFilterPath(LaneFilter& d, int count)
    {
        d.type = -1;
        bool uniform = true;
        for (int l = 0; l < count; ++l) {
            if (const Filter* f = d.filter[l]) {
                const int type = f->typeId();
                uniform = uniform && runsInLanes(type) && (d.type == -1 || d.type == type);
                d.type = type;
            }
        }
        d.inLanes = uniform && d.type != -1;
        if (!d.inLanes) {
            return;
        }
        for (F& c : d.coef) {
            c = splat(0.0f);
        }
        for (F& s : d.state) {
            s = splat(0.0f);
        }
        d.previous = splat(0.0f);
        d.poisoned = d.present = splatInt(0);
        for (int l = 0; l < count; ++l) {
            gatherFilter(d, l);
        }
    }

    static PELKO_LANES_INLINE void gatherFilter(LaneFilter& d, int l)
    {
        const Filter* f = d.filter[l];
        if (!d.inLanes || f == nullptr) {
            return;
        }
        for (int k = 0; k < 4; ++k) {
            d.coef[k][l] = f->coef_[k];
        }
        for (int k = 0; k < 12; ++k) {
            d.state[k][l] = f->state_[k];
        }
        d.previous[l] = f->prevInput_;
        d.poisoned[l] = truth(f->poisoned_);
        d.present[l] = -1;
    }

    static PELKO_LANES_INLINE void scatterFilter(const LaneFilter& d, int l)
    {
        Filter* f = d.filter[l];
        if (!d.inLanes || f == nullptr) {
            return;
        }
        for (int k = 0; k < 12; ++k) {
            f->state_[k] = d.state[k][l];
        }
        f->prevInput_ = d.previous[l];
        f->poisoned_ = d.poisoned[l] != 0;
    }

    static PELKO_LANES_INLINE I finite(F v) { return (v - v) == 0.0f; }

    // A non-finite input or result marks the filter; a non-finite result becomes 0.
    static PELKO_LANES_INLINE F guard(LaneFilter& d, F x, F y)
    {
        d.poisoned = d.poisoned | ~finite(x + y);
        return finite(y) ? y : splat(0.0f);
    }

    template <SvfOutput Output>
    static PELKO_LANES_INLINE F svfHalfStep(F* st, F u, F f, F q, F s)
    {
        const F band = st[1];
        const F notch = u - q * band;
        const F low = st[0] + f * band;
        const F high = notch - low;
        F newBand = band + f * high - s * band * band * band;
        newBand = newBand < -4.0f ? splat(-4.0f) : (4.0f < newBand ? splat(4.0f) : newBand);
        st[0] = low;
        st[1] = newBand;
        st[2] = high;
        st[3] = notch;
        if constexpr (Output == SvfOutput::lowpass) {
            return low;
        } else if constexpr (Output == SvfOutput::highpass) {
            return high;
        } else if constexpr (Output == SvfOutput::bandpass) {
            return newBand;
        } else {
            return notch;
        }
    }

    template <SvfOutput Output, int Stages>
    static PELKO_LANES_INLINE F stateVariable(LaneFilter& d, F x)
    {
        const F f = d.coef[1];
        const F q = d.coef[2];
        const F s = d.coef[3];
        F first = (x + d.previous) / 2.0f;
        F second = x;
        d.previous = x;
        F y = splat(0.0f);
        for (int stage = 0; stage < Stages; ++stage) {
            F* st = d.state + 4 * stage;
            const F a = svfHalfStep<Output>(st, first, f, q, s);
            const F b = svfHalfStep<Output>(st, second, f, q, s);
            y = 0.5f * a + 0.5f * b;
            first = y;
            second = y;
        }
        return guard(d, x, y);
    }

    template <bool Highpass, int Sections>
    static PELKO_LANES_INLINE F analog(LaneFilter& d, F x)
    {
        constexpr float kAntiDenormal[3] = {1e-24f, -1e-24f, 1e-24f};
        const F inverseA0 = d.coef[0];
        const F a1 = d.coef[1];
        const F a2 = d.coef[2];
        F in = x;
        for (int section = 0; section < Sections; ++section) {
            F* st = d.state + 4 * section;
            F y;
            if constexpr (Highpass) {
                y = (in - 2.0f * st[0] + st[1] + (a1 * st[2] - a2 * st[3])) * inverseA0;
            } else {
                y = (in + 2.0f * st[0] + st[1] - (a1 * st[2] + a2 * st[3])) * inverseA0;
            }
            y = y + kAntiDenormal[section];
            st[1] = st[0];
            st[0] = in;
            st[3] = st[2];
            st[2] = y;
            in = y;
        }
        return guard(d, x, in);
    }

    PELKO_LANES_INLINE F filter(LaneFilter& d, F x)
    {
        if (d.inLanes) {
            F y;
            switch (d.type) {
            case filter_id::kLowpass12: y = stateVariable<SvfOutput::lowpass, 1>(d, x); break;
            case filter_id::kLowpass24: y = stateVariable<SvfOutput::lowpass, 2>(d, x); break;
            case filter_id::kLowpass36: y = stateVariable<SvfOutput::lowpass, 3>(d, x); break;
            case filter_id::kHighpass12: y = stateVariable<SvfOutput::highpass, 1>(d, x); break;
            case filter_id::kHighpass24: y = stateVariable<SvfOutput::highpass, 2>(d, x); break;
            case filter_id::kHighpass36: y = stateVariable<SvfOutput::highpass, 3>(d, x); break;
            case filter_id::kBandpass12: y = stateVariable<SvfOutput::bandpass, 1>(d, x); break;
            case filter_id::kBandpass24: y = stateVariable<SvfOutput::bandpass, 2>(d, x); break;
            case filter_id::kBandpass36: y = stateVariable<SvfOutput::bandpass, 3>(d, x); break;
            case filter_id::kNotch12: y = stateVariable<SvfOutput::notch, 1>(d, x); break;
            case filter_id::kNotch24: y = stateVariable<SvfOutput::notch, 2>(d, x); break;
            case filter_id::kNotch36: y = stateVariable<SvfOutput::notch, 3>(d, x); break;
            case filter_id::kAnalogLowpass1: y = analog<false, 1>(d, x); break;
            case filter_id::kAnalogLowpass2: y = analog<false, 2>(d, x); break;
            case filter_id::kAnalogLowpass3: y = analog<false, 3>(d, x); break;
            case filter_id::kAnalogHighpass1: y = analog<true, 1>(d, x); break;
            case filter_id::kAnalogHighpass2: y = analog<true, 2>(d, x); break;
            default: y = analog<true, 3>(d, x); break;
            }
            return d.present & live ? y : splat(0.0f);
        }
        F y = splat(0.0f);
        for (int l = 0; l < W; ++l) {
            if (live[l] != 0 && d.filter[l] != nullptr) {
                y[l] = d.filter[l]->process(x[l]);
            }
        }
        return y;
    }

    // ---- one sample ------------------------------------------------------------------------------

    // A voice's control tick, on the voice itself.
    PELKO_LANES_INLINE void controlTicks()
    {
        const I due = live & (countdown <= 0);
        if (!any(due)) {
            return;
        }
        for (int l = 0; l < W; ++l) {
            if (due[l] == 0) {
                continue;
            }
            Voice& v = *voice[l];
            const bool recovers = poisoned[l] != 0;
            v.poisoned_ = recovers;
            scatterFilter(filters[0], l);
            scatterFilter(filters[1], l);
            v.controlTick();
            gatherFilter(filters[0], l);
            gatherFilter(filters[1], l);
            gatherGains(l);
            if (recovers) {
                gatherRunningState(l);
            }
        }
        listSources();
    }

    PELKO_LANES_INLINE void stepEnvelopes()
    {
        for (int e = 0; e < kEnvelopes; ++e) {
            if (!anyStepping[e]) {
                continue;
            }
            Envelope& d = env[e];
            const I on = d.stepping;
            const I left = d.left - 1;
            const F rx = d.rate * d.x;
            const F value = (rx * d.exponent + 1.0f) * d.value;
            const F x = (1.0f - rx) * d.x;
            d.left = on ? left : d.left;
            d.value = on ? value : d.value;
            d.x = on ? x : d.x;
            const I ends = on & live & (left == 0);
            if (any(ends)) {
                for (int l = 0; l < W; ++l) {
                    if (ends[l] != 0) {
                        EnvelopeRunner& r = runner(*voice[l], e);
                        scatterEnvelope(e, l);
                        r.load(r.next_);
                        gatherEnvelope(e, l);
                    }
                }
            }
            d.output = on ? d.offset + d.value : d.output;
        }
    }

    PELKO_LANES_INLINE void fmInputs()
    {
        for (int i = 0; i < 6; ++i) {
            F sum = splat(0.0f);
            for (int k = 0; k < sourceCount[i]; ++k) {
                const int j = sources[i][k];
                sum = gainOn[i][j] ? sum + gain[i][j] * mod[j] : sum;
            }
            osc[i].fmInput = osc[i].active ? osc[i].fmDepth * sum : osc[i].fmInput;
        }
    }

    // Oscillator i's sample in the lanes where it is active; `before` is its active mask before.
    // Each lane's two neighbouring 16-bit samples at its index, read as one 32-bit word per lane
    // with the processor's gather from eight addresses. Vectors go in and out by reference: the
    // callers are not built for 256-bit registers until they are inlined into one that is.
    __attribute__((target("avx2"))) static inline void loadSamplePairsWide(
        const std::int16_t* const* bases, const I& index, F& s0, F& s1)
    {
        const __m256i idx = reinterpret_cast<__m256i>(index);
        const __m256i lowBases = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bases));
        const __m256i highBases = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bases + 4));
        const __m256i lowOffsets = _mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(idx)), 1);
        const __m256i highOffsets = _mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm256_extracti128_si256(idx, 1)), 1);
        const __m128i low = _mm256_i64gather_epi32(static_cast<const int*>(nullptr),
                                                    _mm256_add_epi64(lowBases, lowOffsets), 1);
        const __m128i high = _mm256_i64gather_epi32(static_cast<const int*>(nullptr),
                                                     _mm256_add_epi64(highBases, highOffsets), 1);
        const __m256i pairs = _mm256_set_m128i(high, low);
        const __m256i first = _mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16);
        const __m256i second = _mm256_srai_epi32(pairs, 16);
        s0 = reinterpret_cast<F>(_mm256_cvtepi32_ps(first));
        s1 = reinterpret_cast<F>(_mm256_cvtepi32_ps(second));
    }

    // Each lane's two neighbouring table values at its index, gathered as one 64-bit word per lane.
    __attribute__((target("avx2"))) static inline void loadTablePairsWide(const float* const* bases,
                                                                         const I& index, F& t0, F& t1)
    {
        const __m256i idx = reinterpret_cast<__m256i>(index);
        const __m256i lowBases = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bases));
        const __m256i highBases = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bases + 4));
        const __m256i lowOffsets = _mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(idx)), 2);
        const __m256i highOffsets = _mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm256_extracti128_si256(idx, 1)), 2);
        // Lanes 0–3 and 4–7, each a pair (value k, value k + 1).
        const __m256i low = _mm256_i64gather_epi64(static_cast<const long long*>(nullptr),
                                                   _mm256_add_epi64(lowBases, lowOffsets), 1);
        const __m256i high = _mm256_i64gather_epi64(static_cast<const long long*>(nullptr),
                                                    _mm256_add_epi64(highBases, highOffsets), 1);
        // Even words are the values at k, odd words those at k + 1.
        const __m256 lowPs = _mm256_castsi256_ps(low);
        const __m256 highPs = _mm256_castsi256_ps(high);
        const __m256 evens = _mm256_shuffle_ps(lowPs, highPs, _MM_SHUFFLE(2, 0, 2, 0));
        const __m256 odds = _mm256_shuffle_ps(lowPs, highPs, _MM_SHUFFLE(3, 1, 3, 1));
        // The shuffle interleaves 128-bit halves: (l0 l1 h0 h1 | l2 l3 h2 h3) → lane order.
        const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
        t0 = reinterpret_cast<F>(_mm256_permutevar8x32_ps(evens, order));
        t1 = reinterpret_cast<F>(_mm256_permutevar8x32_ps(odds, order));
    }

    // Oscillator i's sample in the lanes where it is active, in two halves: the read position and
    // the wave's two samples there, then interpolation, waveshaper and level. The six oscillators'
    // reads all go out before the first one's samples are needed, so their latencies overlap.
    struct Reading {
        F pos, s0, s1;
        I index;
    };

    template <bool Wide>
    PELKO_LANES_INLINE void readOscillator(int i, F pitchFactor, Reading& r)
    {
        Osc& o = osc[i];
        const I plays = o.active & ~o.silent & live;

        const I gliding = plays & (o.glideLeft > 0);
        const I glideLeft = o.glideLeft - 1;
        o.glideRatio = gliding ? (glideLeft > 0 ? o.glideRatio + o.glideStep : splat(1.0f)) : o.glideRatio;
        o.glideLeft = gliding ? glideLeft : o.glideLeft;

        const F pitchRatio = o.pitchMoves ? env[4 * i + 2].output : o.heldPitch;
        const F phaseOffset = o.phaseMoves ? env[4 * i + 3].output : o.heldPhase;
        F newPhase = o.phase + o.glideRatio * pitchRatio * o.increment * pitchFactor;
        F pos = phaseOffset + o.fmInput + newPhase;
        pos = pos < 0.0f ? pos + o.length : pos;
        pos = pos >= o.length ? pos - o.loopLength : pos;
        newPhase = newPhase >= o.length ? newPhase - o.loopLength : newPhase;
        const I posOut = plays & ~((pos >= 0.0f) & (pos < o.length));
        const I phaseOut = plays & ~((newPhase >= 0.0f) & (newPhase < o.length));
        if (any(posOut | phaseOut)) {
            for (int l = 0; l < W; ++l) {
                if ((posOut[l] | phaseOut[l]) == 0) {
                    continue;  // also every empty lane, which has no voice
                }
                const Oscillator& scalar = voice[l]->oscillators_[static_cast<std::size_t>(i)];
                if (posOut[l] != 0) {
                    pos[l] = scalar.wrap(pos[l]);
                }
                if (phaseOut[l] != 0) {
                    newPhase[l] = scalar.wrap(newPhase[l]);
                }
            }
        }
        o.phase = plays ? newPhase : o.phase;

        const I index = plays ? __builtin_convertvector(pos, I) : splatInt(0);
        if constexpr (Wide) {
            loadSamplePairsWide(o.samples, index, r.s0, r.s1);
        } else {
            for (int l = 0; l < W; ++l) {
                const std::int16_t* at = o.samples[l] + index[l];
                r.s0[l] = static_cast<float>(at[0]);
                r.s1[l] = static_cast<float>(at[1]);
            }
        }
        r.pos = pos;
        r.index = index;
    }

    template <bool Wide>
    PELKO_LANES_INLINE F shapeOscillator(int i, const Reading& r)
    {
        Osc& o = osc[i];
        const Envelope& amp = env[4 * i];
        const I plays = o.active & ~o.silent & live;
        F s = (r.s0 + (r.s1 - r.s0) * (r.pos - __builtin_convertvector(r.index, F))) * Oscillator::kSampleScale;
        if (anyShaper[i]) {
            const F p = (s + 0.5f) * 255.0f;
            I k = __builtin_convertvector(p, I);
            k = k < 0 ? splatInt(0) : (k > 255 ? splatInt(255) : k);
            const I shaped = plays & o.hasShaper;
            k = shaped ? k : splatInt(0);
            F t0;
            F t1;
            if constexpr (Wide) {
                loadTablePairsWide(o.table, k, t0, t1);
            } else {
                for (int l = 0; l < W; ++l) {
                    const float* at = o.table[l] + k[l];
                    t0[l] = at[0];
                    t1[l] = at[1];
                }
            }
            const F y = t0 + (t1 - t0) * (p - __builtin_convertvector(k, F));
            const F amount = o.shaperMoves ? env[4 * i + 1].output : o.heldShaper;
            s = shaped ? s + ((y - 0.5f) - s) * o.shaperAmount * amount : s;
        }
        const F out = o.silent ? splat(0.0f) : s * amp.output;
        o.active = o.active & (live ? amp.running : splatInt(-1));
        return out;
    }

    // No lambdas here: a helper that is not inlined would pass vectors by the baseline convention
    // to and from code built for 256-bit registers.
    PELKO_LANES_INLINE F busInputValue(int index) const
    {
        return index < 8 ? mod[index] : splat(index == 8 ? 1.0f : 0.0f);
    }

    PELKO_LANES_INLINE F busProduct(int b) const
    {
        if (!busesVary) {
            return busInputValue(busInput[b][0]) * busInputValue(busInput[b][1]) * busInputValue(busInput[b][2]);
        }
        F in[3];
        for (int k = 0; k < 3; ++k) {
            for (int l = 0; l < W; ++l) {
                const int index = laneBus[l][b][k];
                in[k][l] = index < 8 ? mod[index][l] : (index == 8 ? 1.0f : 0.0f);
            }
        }
        return in[0] * in[1] * in[2];
    }

    // Renders one sample into the lanes' outputs; returns the lanes that finished on it.
    template <bool Wide>
    PELKO_LANES_INLINE I sample(F& outLeft, F& outRight)
    {
        countdown = countdown - 1;
        controlTicks();
        stepEnvelopes();
        fmInputs();

        const F pitchFactor = (1.0f + pitchDepth * (env[kGlobalPitch].output - 1.0f)) * pitchBend;
        F toFilter1 = splat(0.0f);
        F toFilter2 = splat(0.0f);
        F direct = splat(0.0f);
        I running = splatInt(0);
        I before[6];
        bool plays[6];
        Reading reading[6];
        for (int i = 0; i < 6; ++i) {
            before[i] = osc[i].active & live;
            plays[i] = any(before[i]);
            if (plays[i]) {
                readOscillator<Wide>(i, pitchFactor, reading[i]);
            }
        }
        for (int i = 0; i < 6; ++i) {
            if (!plays[i]) {
                continue;
            }
            const F s = shapeOscillator<Wide>(i, reading[i]);
            mod[i] = before[i] ? s : mod[i];
            toFilter1 = before[i] ? toFilter1 + s * send[i][0] : toFilter1;
            toFilter2 = before[i] ? toFilter2 + s * send[i][1] : toFilter2;
            direct = before[i] ? direct + s * send[i][2] : direct;
            running = running - (before[i] & osc[i].active);
        }
        for (int b = 0; b < 2; ++b) {
            const F product = busProduct(b);
            mod[6 + b] = product;
            toFilter1 = toFilter1 + product * busSend[b][0];
            toFilter2 = toFilter2 + product * busSend[b][1];
            direct = direct + product * busSend[b][2];
        }
        const F f1 = filter(filters[0], toFilter1);
        const F f2 = filter(filters[1], toFilter2);
        F left = direct + f1 * panLeft[0] + f2 * panLeft[1];
        F right = direct + f1 * panRight[0] + f2 * panRight[1];
        const F both = left + right;
        const I broken = live & ~((both - both) == 0.0f);
        if (any(broken)) {
            left = broken ? splat(0.0f) : left;
            right = broken ? splat(0.0f) : right;
            for (F& m : mod) {
                m = broken ? splat(0.0f) : m;
            }
            poisoned = poisoned | broken;
        }
        outLeft = live ? left : splat(0.0f);
        outRight = live ? right : splat(0.0f);

        const I wasSounding = sounding;
        sounding = sounding | (live & (running > 0));
        return live & wasSounding & (running == 0);
    }

    template <bool Wide>
    PELKO_LANES_INLINE void run(Voice* const* voices, int count, int frames, float* const* outLeft,
                                float* const* outRight, int* finishedAt)
    {
        gather(voices, count);
        for (int l = 0; l < count; ++l) {
            finishedAt[l] = -1;
        }
        for (int n = 0; n < frames; ++n) {
            F left;
            F right;
            const I finished = sample<Wide>(left, right);
            for (int l = 0; l < count; ++l) {
                outLeft[l][n] = left[l];
                outRight[l][n] = right[l];
            }
            if (any(finished)) {
                for (int l = 0; l < count; ++l) {
                    if (finished[l] != 0) {
                        finish(l, left[l], right[l]);
                        voice[l]->finished_ = true;
                        finishedAt[l] = n;
                    }
                }
            }
        }
        for (int l = 0; l < count; ++l) {
            if (live[l] != 0) {
                finish(l, outLeft[l][frames - 1], outRight[l][frames - 1]);
            }
        }
    }

    // The lane's state goes back to its voice, which the lanes no longer render.
    PELKO_LANES_INLINE void finish(int l, float left, float right)
    {
        scatterLane(l);
        voice[l]->outLeft_ = left;
        voice[l]->outRight_ = right;
        live[l] = 0;
    }
};

void VoiceLanes::renderBaseline(Voice* const* voices, int count, int frames, float* const* outLeft,
                                float* const* outRight, int* finishedAt)
{
    Block block;
    block.run<false>(voices, count, frames, outLeft, outRight, finishedAt);
}

__attribute__((target("avx2"))) void VoiceLanes::renderWide(Voice* const* voices, int count, int frames,
                                                            float* const* outLeft, float* const* outRight, int* finishedAt)
{
    Block block;
    block.run<true>(voices, count, frames, outLeft, outRight, finishedAt);
}

namespace {

using RenderFunction = void (*)(Voice* const*, int, int, float* const*, float* const*);

bool hasWideRegisters()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

// Chosen once, when the module is loaded; tests may step down to the baseline.
const bool kWideAvailable = hasWideRegisters();
std::atomic<bool> wide{kWideAvailable};

}  // namespace

void VoiceLanes::render(Voice* const* voices, int count, int frames, float* const* outLeft, float* const* outRight, int* finishedAt)
{
    if (count <= 0 || frames <= 0) {
        return;
    }
    count = count < kLanes ? count : kLanes;
    frames = frames < kMaxFrames ? frames : kMaxFrames;
    if (count == 1) {
        // A lone voice costs less one sample at a time than a block with seven empty lanes.
        Voice& v = *voices[0];
        finishedAt[0] = -1;
        int n = 0;
        for (; n < frames && finishedAt[0] < 0; ++n) {
            v.render();
            outLeft[0][n] = v.outLeft();
            outRight[0][n] = v.outRight();
            finishedAt[0] = v.finished() ? n : -1;
        }
        for (; n < frames; ++n) {
            outLeft[0][n] = outRight[0][n] = 0.0f;
        }
        return;
    }
    if (wide.load(std::memory_order_relaxed)) {
        renderWide(voices, count, frames, outLeft, outRight, finishedAt);
    } else {
        renderBaseline(voices, count, frames, outLeft, outRight, finishedAt);
    }
}

const char* VoiceLanes::instructionSet() { return wide.load(std::memory_order_relaxed) ? "avx2" : "sse2"; }

bool VoiceLanes::useBaseline(bool baseline)
{
    wide.store(!baseline && kWideAvailable, std::memory_order_relaxed);
    return baseline || kWideAvailable;
}

}  // namespace pelko
