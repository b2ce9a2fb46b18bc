// The step sequencer through the voice pool: when children start, which step they play, clamping,
// random order, gate release with and without the sustain pedal, children left alone by note-offs
// and stealing, and no allocation while sequencing.
#include "engine/engine_random.h"
#include "engine/voice_fixture.h"
#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace engine_test;

constexpr int kStep = 1000;  // samples
constexpr int kGate = 400;   // samples

std::vector<Voice*> children(const VoiceList& list)
{
    std::vector<Voice*> found;
    for (Voice* v = list.head; v != nullptr; v = v->next) {
        if (v->parentNote() != kKeyVoice) {
            found.push_back(v);
        }
    }
    return found;
}

class Sequencer : public ::testing::Test {
protected:
    Sequencer()
    {
        f.holdLevel(0);
        auto& s = f.settings.sequencer;
        s.steps = 4;
        s.samplesPerStep = kStep;
        for (int i = 0; i < kSequencerSteps; ++i) {
            s.transpose[static_cast<std::size_t>(i)] = i + 1;  // step i plays the key + i + 1
            s.gateSamples[static_cast<std::size_t>(i)] = kGate;
        }
    }
    void render(int samples) { renderLeft(voices, samples); }
    // The newest child's note after each of `steps` further steps.
    std::vector<int> childNotes(int steps)
    {
        std::vector<int> notes;
        for (int i = 0; i < steps; ++i) {
            render(kStep);
            notes.push_back(voices.playingVoices().head->note());
        }
        return notes;
    }
    SequencerSettings& seq() { return f.settings.sequencer; }

    EngineFixture f;
    VoiceManager voices{f.context, 16};
};

TEST_F(Sequencer, StepCountZeroStartsNoChildren)
{
    seq().steps = 0;
    voices.noteOn(60, 100);
    render(kStep * 10);
    EXPECT_EQ(voices.playingVoices().count, 1);
}

TEST_F(Sequencer, FirstChildComesOneStepAfterTheKeyWithStepOne)
{
    Voice* key = voices.noteOn(60, 100);
    render(kStep - 1);
    EXPECT_EQ(voices.playingVoices().count, 1);
    render(1);
    ASSERT_EQ(voices.playingVoices().count, 2);
    Voice* child = voices.playingVoices().head;
    EXPECT_EQ(child->note(), 62);
    EXPECT_EQ(child->velocity(), 100);
    EXPECT_EQ(child->parentNote(), 60);
    EXPECT_EQ(key->parentNote(), kKeyVoice);
    EXPECT_EQ(key->stepIndex(), 1);
    // The child is audible from its first sample on: the mix is the sum of both voices.
    float left = 0.0f, right = 0.0f;
    voices.renderSample(left, right);
    EXPECT_FLOAT_EQ(left, key->outLeft() + child->outLeft());
    EXPECT_NE(child->outLeft(), 0.0f);
}

TEST_F(Sequencer, StepsRunInOrderAndWrapToStepZero)
{
    seq().steps = 3;
    voices.noteOn(60, 100);
    EXPECT_EQ(childNotes(6), (std::vector<int>{62, 63, 61, 62, 63, 61}));
    seq().steps = 1;
    EXPECT_EQ(childNotes(3), (std::vector<int>{61, 61, 61}));
}

TEST_F(Sequencer, NotesAndVelocitiesAreClampedToTheMidiRange)
{
    seq().steps = 1;
    seq().transpose[0] = 48;
    seq().velocityOffset[0] = 64;
    voices.noteOn(120, 100);
    render(kStep);
    EXPECT_EQ(voices.playingVoices().head->note(), 127);
    EXPECT_EQ(voices.playingVoices().head->velocity(), 127);
    voices.noteOff(120);
    seq().transpose[0] = -48;
    seq().velocityOffset[0] = -40;
    voices.noteOn(10, 100);
    render(kStep);
    EXPECT_EQ(voices.playingVoices().head->note(), 0);
    EXPECT_EQ(voices.playingVoices().head->velocity(), 60);
}

TEST_F(Sequencer, AStepAtVelocityZeroStartsNothingAndReleasesNoOtherKey)
{
    seq().steps = 1;
    seq().transpose[0] = 4;
    seq().velocityOffset[0] = -64;
    Voice* other = voices.noteOn(64, 100);
    voices.noteOn(60, 30);  // its step would be note 64 at velocity 0
    render(kStep * 3);
    EXPECT_TRUE(other->keyDown());
    for (Voice* child : children(voices.playingVoices())) {
        EXPECT_NE(child->parentNote(), 60);
    }
}

TEST_F(Sequencer, RandomOrderTakesTheGeneratorsTopBitsWrappedOnceByTheStepCount)
{
    seq().randomOrder = true;
    Voice* key = voices.noteOn(60, 100);
    render(kStep - 1);
    std::vector<int> seen;
    for (std::uint16_t seed : {0u, 3000u, 11111u, 20000u, 40000u, 54321u, 65535u}) {
        seedEngineRandom(seed);
        render(1);
        const std::uint16_t next = static_cast<std::uint16_t>(seed * 15625u + 1u);
        const int drawn = next >> 12;
        const int expected = drawn >= 4 ? drawn - 4 : drawn;
        EXPECT_EQ(key->stepIndex(), expected) << "seed " << seed;
        EXPECT_EQ(voices.playingVoices().head->note(), 60 + expected + 1);
        seen.push_back(expected);
        render(kStep - 1);
    }
    // Indices past the step count select the settings of those steps.
    EXPECT_GE(*std::max_element(seen.begin(), seen.end()), 4);
    EXPECT_LE(*std::max_element(seen.begin(), seen.end()), 11);
}

TEST_F(Sequencer, ChildrenReleaseAfterTheirGateAndStopStartingWhenTheKeyIsUp)
{
    voices.noteOn(60, 100);
    render(kStep);
    Voice* child = voices.playingVoices().head;
    render(kGate - 1);
    EXPECT_TRUE(child->keyDown());
    render(1);
    EXPECT_FALSE(child->keyDown());
    EXPECT_FALSE(child->sustained());
    voices.noteOff(60);
    const int playing = voices.playingVoices().count;
    render(kStep * 2);  // the released key starts no more children
    EXPECT_LE(voices.playingVoices().count, playing);
    render(44100 * 2);  // and everything rings out
    EXPECT_EQ(voices.playingVoices().count, 0);
}

TEST_F(Sequencer, SustainHoldsChildrenPastTheirGateUntilThePedalGoesUp)
{
    f.context.sustainPedal = true;
    voices.noteOn(60, 100);
    render(kStep);
    voices.noteOff(60);
    render(44100 * 2);
    ASSERT_EQ(voices.playingVoices().count, 2);
    Voice* child = children(voices.playingVoices()).at(0);
    EXPECT_FALSE(child->keyDown());
    EXPECT_TRUE(child->sustained());
    f.context.sustainPedal = false;
    voices.pedalUp();
    render(44100 * 2);
    EXPECT_EQ(voices.playingVoices().count, 0);
}

TEST_F(Sequencer, NoteOffsAndStealingLeaveChildrenAlone)
{
    seq().steps = 1;
    seq().transpose[0] = 4;
    seq().gateSamples[0] = 44100 * 10;
    voices.setPolyphony(2);
    voices.noteOn(60, 100);
    render(kStep * 5);
    const auto spawned = children(voices.playingVoices());
    ASSERT_EQ(spawned.size(), 5u);
    voices.noteOff(64);  // the children's note: only key voices answer note-offs
    voices.noteOn(72, 100);  // the limit is reached: a key voice may go, never a child
    for (Voice* child : spawned) {
        EXPECT_TRUE(child->keyDown());
        EXPECT_FALSE(child->stopped());
    }
}

TEST_F(Sequencer, SequencingAllocatesNothing)
{
    seq().steps = 16;
    seq().randomOrder = true;
    seq().samplesPerStep = 300;
    for (int key : {48, 55, 60, 67}) {
        voices.noteOn(key, 90);
    }
    testing_support::AllocationCounter counter;
    float left = 0.0f, right = 0.0f;
    for (int i = 0; i < 44100 * 5; ++i) {
        voices.renderSample(left, right);
    }
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_GT(voices.playingVoices().count, 4);
}

}  // namespace
