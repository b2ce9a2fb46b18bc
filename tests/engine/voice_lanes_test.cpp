// Voice pools rendered in runs through the lanes against twins rendered one sample at a time: the
// sums must be equal bit for bit, and the lists must hold the same voices in the same order,
// through the cases the lanes handle apart from the arithmetic: voices finishing inside a run
// (and their order back on the free list), overflow to infinity and the recovery at the next
// control tick, not-a-number settings, filters outside the lanes, mixed filter types in one
// block, mono mode's parking and resuming, and both instruction sets.
#include "engine/engine_random.h"
#include "engine/voice_fixture.h"
#include "engine/voice_lanes.h"
#include "dsp/filters/filter_types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

using namespace engine_test;

// Two identical pools; `change` is applied to both fixtures before each step.
class Twins {
public:
    explicit Twins(int polyphony, const std::function<void(EngineFixture&)>& setUp)
    {
        for (auto& f : fixtures_) {
            f = std::make_unique<EngineFixture>();
            setUp(*f);
        }
        lanes_ = std::make_unique<VoiceManager>(fixtures_[0]->context, polyphony, 48);
        reference_ = std::make_unique<VoiceManager>(fixtures_[1]->context, polyphony, 48);
    }

    void both(const std::function<void(EngineFixture&, VoiceManager&)>& action)
    {
        seedEngineRandom(777);
        action(*fixtures_[0], *lanes_);
        seedEngineRandom(777);
        action(*fixtures_[1], *reference_);
    }

    // Renders `frames` in runs of at most `run` samples and compares every sample and the lists.
    void render(int frames, int run)
    {
        std::vector<float> left(static_cast<std::size_t>(run)), right(static_cast<std::size_t>(run));
        for (int done = 0; done < frames; done += run) {
            const int n = std::min(run, frames - done);
            lanes_->renderRun(left.data(), right.data(), n);
            for (int i = 0; i < n; ++i) {
                float l = 0.0f;
                float r = 0.0f;
                reference_->renderSample(l, r);
                ASSERT_EQ(std::memcmp(&l, &left[static_cast<std::size_t>(i)], sizeof l), 0)
                    << "left at " << done + i << ": " << left[static_cast<std::size_t>(i)] << " vs " << l;
                ASSERT_EQ(std::memcmp(&r, &right[static_cast<std::size_t>(i)], sizeof r), 0) << "right at " << done + i;
                energy_ += static_cast<double>(l) * l;
            }
            ASSERT_TRUE(sameLists()) << "after frame " << done + n;
        }
    }

    double energy() const { return energy_; }
    const VoiceManager& lanes() const { return *lanes_; }

private:
    // The same voices in the same order on every list, told apart by the note and age they
    // keep from their last use.
    bool sameLists() const
    {
        auto positions = [](const VoiceManager&, const VoiceList& list) {
            std::vector<int> out;
            for (const Voice* v = list.head; v != nullptr; v = v->next) {
                out.push_back(v->note() * 1000 + static_cast<int>(v->age() % 1000));
            }
            return out;
        };
        return positions(*lanes_, lanes_->playingVoices()) == positions(*reference_, reference_->playingVoices()) &&
               positions(*lanes_, lanes_->heldVoices()) == positions(*reference_, reference_->heldVoices()) &&
               positions(*lanes_, lanes_->freeVoices()) == positions(*reference_, reference_->freeVoices());
    }

    std::unique_ptr<EngineFixture> fixtures_[2];
    std::unique_ptr<VoiceManager> lanes_;
    std::unique_ptr<VoiceManager> reference_;
    double energy_ = 0.0;
};

// Three oscillators in an FM chain through both filters; short envelopes so that notes end
// inside runs.
void chain(EngineFixture& f, int filter1, int filter2)
{
    for (int osc = 0; osc < 3; ++osc) {
        f.enable(osc, 0.2f);
        f.settings.oscillators[static_cast<std::size_t>(osc)].sendFilter1 = 0.3f;
        f.settings.oscillators[static_cast<std::size_t>(osc)].sendFilter2 = 0.2f;
    }
    f.settings.fmGain[0][1] = 0.4f;
    f.settings.fmGain[1][2] = 0.3f;
    f.settings.fmGain[2][6] = 0.2f;  // product bus A feeds back
    f.envelope(object::kOscEnv + 1).applyPreset(1);
    f.context.filterTypes = {filter1, filter2};
    f.settings.cutoff = {0.4f, 0.7f};
    f.settings.resonance = {0.5f, 0.2f};
    f.context.busInputs[0] = {0, 1, -1};
}

void play(Twins& twins, const std::vector<int>& notes, int velocity)
{
    twins.both([&](EngineFixture&, VoiceManager& m) {
        for (int note : notes) {
            m.noteOn(note, velocity);
        }
    });
}

void release(Twins& twins, const std::vector<int>& notes)
{
    twins.both([&](EngineFixture&, VoiceManager& m) {
        for (int note : notes) {
            m.noteOff(note);
        }
    });
}

class LanesInBothSets : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (!VoiceLanes::useBaseline(GetParam())) {
            GTEST_SKIP() << "the processor has no 256-bit registers";
        }
    }
    void TearDown() override { VoiceLanes::useBaseline(false); }
};

TEST_P(LanesInBothSets, ChordsThatStartAndEndInsideRunsMatchTheReference)
{
    Twins twins(32, [](EngineFixture& f) { chain(f, filter_id::kLowpass24, filter_id::kAnalogHighpass2); });
    play(twins, {48, 52, 55, 59, 62, 65, 69, 72, 76, 79, 83}, 90);  // two blocks, one of three voices
    twins.render(3000, 37);
    release(twins, {52, 59, 69});
    twins.render(2000, 128);
    play(twins, {50}, 127);  // a lone voice joins
    twins.render(500, 1);
    release(twins, {48, 55, 62, 65, 72, 76, 79, 83, 50});
    twins.render(60000, 100);
    EXPECT_EQ(twins.lanes().playingVoices().count, 0) << "every note must have ended";
    EXPECT_GT(twins.energy(), 0.0);
}

TEST_P(LanesInBothSets, VoicesOfTwoBlocksEndingInOneRunGoBackInTheOrderTheyEnded)
{
    // Ten held notes: the newest eight fill the first block. The oldest note (second block) is
    // let go a few samples before the newest (first block), so both end inside one run, the
    // second block's voice first.
    for (int gap : {3, 40}) {
        Twins twins(32, [](EngineFixture& f) {
            chain(f, filter_id::kLowpass12, filter_id::kOff);
            for (int osc = 0; osc < 3; ++osc) {
                f.holdLevel(osc);
            }
        });
        play(twins, {40, 42, 44, 46, 48, 50, 52, 54, 56, 58}, 100);
        twins.render(1000, 128);
        release(twins, {40});
        twins.render(gap, gap);
        release(twins, {58});
        for (int i = 0; i < 100 && twins.lanes().playingVoices().count > 8; ++i) {
            twins.render(2048, 128);
        }
        EXPECT_EQ(twins.lanes().playingVoices().count, 8);
    }
}

TEST_P(LanesInBothSets, FiltersOutsideTheLanesAndMixedTypesMatchTheReference)
{
    for (const auto& types : {std::array<int, 2>{filter_id::kComb, filter_id::kAllpass},
                              std::array<int, 2>{filter_id::kNotch36, filter_id::kComb}}) {
        Twins twins(32, [&](EngineFixture& f) { chain(f, types[0], types[1]); });
        play(twins, {60, 64, 67}, 100);
        // Notes started under another filter type share the block with these.
        twins.both([](EngineFixture& f, VoiceManager&) { f.context.filterTypes = {filter_id::kBandpass12, filter_id::kOff}; });
        play(twins, {70, 74}, 80);
        twins.render(6000, 64);
        release(twins, {60, 64, 67, 70, 74});
        twins.render(20000, 128);
    }
}

TEST_P(LanesInBothSets, OverflowIsSilencedAndRecoversAsInTheReference)
{
    Twins twins(32, [](EngineFixture& f) {
        chain(f, filter_id::kLowpass12, filter_id::kOff);
        f.settings.oscillators[0].direct = 3e38f;
        f.settings.oscillators[1].direct = 3e38f;
        f.settings.oscillators[0].sendFilter1 = 3e38f;
    });
    play(twins, {57, 69, 76}, 100);
    twins.render(1000, 50);
    twins.both([](EngineFixture& f, VoiceManager&) {
        f.settings.oscillators[0].direct = 1.0f;
        f.settings.oscillators[1].direct = 0.0f;
        f.settings.oscillators[0].sendFilter1 = 0.0f;
    });
    twins.render(4000, 128);
    EXPECT_GT(twins.energy(), 0.0) << "the notes sound again";

    const float nan = std::numeric_limits<float>::quiet_NaN();
    twins.both([&](EngineFixture& f, VoiceManager& m) {
        f.settings.busSend[0] = {nan, nan, nan};
        f.settings.vibratoDepth = nan;
        f.settings.fmGain[1][0] = nan;
        m.broadcastCutoff(0, nan);
    });
    twins.render(4000, 99);
}

TEST_P(LanesInBothSets, MonoModeParkingAndResumingMatchTheReference)
{
    Twins twins(1, [](EngineFixture& f) {
        chain(f, filter_id::kLowpass24, filter_id::kOff);
        f.holdLevel(0);
        f.settings.glideOn = true;
        for (auto& o : f.settings.oscillators) {
            o.glideSamples = 3000;
            o.glideReciprocal = 1.0f / 3000.0f;
        }
    });
    play(twins, {48}, 100);
    twins.render(1000, 128);
    play(twins, {55}, 100);  // parks 48, glides from it
    twins.render(6000, 77);
    release(twins, {55});    // 48 comes back
    twins.render(6000, 128);
    release(twins, {48});
    twins.render(30000, 128);
}

INSTANTIATE_TEST_SUITE_P(VoiceLanes, LanesInBothSets, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Baseline" : "Widest"; });

}  // namespace
