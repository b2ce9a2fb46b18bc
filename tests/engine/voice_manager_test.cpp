// Voice allocation observed through the pool's lists, the voices' flags and the sound: stealing,
// replaying a ringing note, mono hold and release, sustain, all notes off, the silent program and
// an exhausted pool.
#include "engine/voice_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace engine_test;
using testing_support::rms;

std::vector<int> notesOn(const VoiceList& list)
{
    std::vector<int> notes;
    for (Voice* v = list.head; v != nullptr; v = v->next) {
        notes.push_back(v->note());
    }
    return notes;
}

Voice* find(const VoiceList& list, int note, bool wantStopped)
{
    for (Voice* v = list.head; v != nullptr; v = v->next) {
        if (v->note() == note && v->stopped() == wantStopped) {
            return v;
        }
    }
    return nullptr;
}

class VoicePool : public ::testing::Test {
protected:
    void render(int samples) { renderLeft(voices, samples); }

    EngineFixture f;
    VoiceManager voices{f.context, 4};
};

TEST_F(VoicePool, HasItsWholePoolFreeAtFirst)
{
    EXPECT_EQ(voices.poolSize(), 128);
    EXPECT_EQ(voices.freeVoices().count, 128);
    EXPECT_EQ(voices.playingVoices().count, 0);
}

TEST_F(VoicePool, NewVoicesGoToTheHeadAndFinishedOnesBackToTheFreeList)
{
    voices.noteOn(60, 100);
    voices.noteOn(64, 100);
    EXPECT_EQ(notesOn(voices.playingVoices()), (std::vector<int>{64, 60}));
    voices.noteOff(60);
    voices.noteOff(64);
    render(44100 * 2);  // the default level envelope's release is well under two seconds
    EXPECT_EQ(voices.playingVoices().count, 0);
    EXPECT_EQ(voices.freeVoices().count, 128);
}

TEST_F(VoicePool, StealingTakesTheOldestSoundingVoiceButNeverTheLowestNote)
{
    for (int note : {60, 62, 64, 65}) {
        voices.noteOn(note, 100);
        render(640);  // ages differ
    }
    voices.noteOn(67, 100);
    EXPECT_TRUE(find(voices.playingVoices(), 62, true) != nullptr);   // the oldest after the lowest
    EXPECT_TRUE(find(voices.playingVoices(), 60, false) != nullptr);  // lowest: spared though oldest
    render(640);
    // The next steal does not pick the voice already fading: 64 goes, so four notes sound.
    voices.noteOn(69, 100);
    EXPECT_TRUE(find(voices.playingVoices(), 64, true) != nullptr);
    int live = 0;
    for (Voice* v = voices.playingVoices().head; v != nullptr; v = v->next) {
        live += v->stopped() ? 0 : 1;
    }
    EXPECT_EQ(live, 4);
    render(5000);  // the fast fade lasts 4000 samples
    EXPECT_EQ(notesOn(voices.playingVoices()), (std::vector<int>{69, 67, 65, 60}));
}

TEST_F(VoicePool, WithoutSoundingVoicesTheSoftestIsStolen)
{
    f.disableAll();  // nothing sounds, so no voice is ever `sounding`
    voices.noteOn(60, 100);
    voices.noteOn(62, 30);
    voices.noteOn(64, 30);
    voices.noteOn(65, 90);
    voices.noteOn(67, 100);
    // Both 62 and 64 are softest; the last one found in list order (the older, 62) goes.
    EXPECT_TRUE(find(voices.playingVoices(), 62, true) != nullptr);
    EXPECT_TRUE(find(voices.playingVoices(), 64, false) != nullptr);
}

TEST_F(VoicePool, ReplayingARingingNoteAtTheLimitStopsItsCopy)
{
    voices.setPolyphony(2);
    voices.noteOn(60, 100);
    voices.noteOn(64, 100);
    render(1000);
    voices.noteOff(60);  // 60 rings in its release
    render(100);
    ASSERT_FALSE(find(voices.playingVoices(), 60, false)->keyDown());
    voices.noteOn(60, 100);
    EXPECT_TRUE(find(voices.playingVoices(), 60, true) != nullptr);   // the ringing copy fades
    EXPECT_TRUE(find(voices.playingVoices(), 60, false) != nullptr);  // the new one plays
    EXPECT_TRUE(find(voices.playingVoices(), 64, false) != nullptr);  // and 64 is not stolen
}

TEST_F(VoicePool, VelocityZeroIsANoteOff)
{
    voices.noteOn(60, 100);
    EXPECT_EQ(voices.noteOn(60, 0), nullptr);
    EXPECT_FALSE(voices.playingVoices().head->keyDown());
}

TEST_F(VoicePool, MonoModeParksTheHeldKeyAndBringsItBackWithAShortRise)
{
    voices.setPolyphony(1);
    f.holdLevel(0);
    f.settings.cutoff = {0.5f, 0.5f};
    f.context.filterTypes = {1, 0};
    voices.noteOn(60, 100);
    render(20000);
    Voice* first = voices.playingVoices().head;
    const int segment = first->cutoffEnvelope(0).currentSegment();
    const float level = first->cutoffEnvelope(0).currentValue();

    voices.noteOn(64, 100);
    Voice* second = voices.playingVoices().head;
    EXPECT_EQ(second->note(), 64);
    EXPECT_TRUE(first->stopped());
    // The filter sweep goes on where 60's was.
    EXPECT_EQ(second->cutoffEnvelope(0).currentSegment(), segment);
    EXPECT_NEAR(second->cutoffEnvelope(0).output(), level, 1e-6);
    render(4100);
    EXPECT_EQ(notesOn(voices.heldVoices()), (std::vector<int>{60}));
    EXPECT_EQ(notesOn(voices.playingVoices()), (std::vector<int>{64}));

    voices.noteOff(64);
    EXPECT_EQ(voices.playingVoices().head, first);
    EXPECT_TRUE(first->resumed());
    EXPECT_EQ(voices.heldVoices().count, 0);
    // 60 rises back within about 100 samples while 64 fades away.
    std::vector<float> sixty;
    for (int n = 0; n < 6000; ++n) {
        float left, right;
        voices.renderSample(left, right);
        sixty.push_back(first->outLeft());
    }
    EXPECT_LT(rms(sixty, 0, 20), 0.3 * rms(sixty, 200, 600));
    EXPECT_NEAR(rms(sixty, 200, 600), rms(sixty, 2000, 6000), 0.2 * rms(sixty, 2000, 6000));
    EXPECT_EQ(notesOn(voices.playingVoices()), (std::vector<int>{60}));
    EXPECT_TRUE(first->keyDown());

    voices.noteOff(60);
    render(44100 * 2);
    EXPECT_EQ(voices.playingVoices().count, 0);
    EXPECT_EQ(voices.heldVoices().count, 0);
    EXPECT_EQ(voices.freeVoices().count, 128);
}

TEST_F(VoicePool, MonoModeForgetsAParkedKeyThatIsReleased)
{
    voices.setPolyphony(1);
    f.holdLevel(0);
    voices.noteOn(60, 100);
    render(1000);
    voices.noteOn(64, 100);
    render(4100);
    ASSERT_EQ(voices.heldVoices().count, 1);
    const std::vector<float> before = renderLeft(voices, 2000);
    voices.noteOff(60);
    EXPECT_EQ(voices.heldVoices().count, 0);
    EXPECT_EQ(voices.freeVoices().count, 127);
    const std::vector<float> after = renderLeft(voices, 2000);
    EXPECT_NEAR(rms(after), rms(before), 0.05 * rms(before));  // 64 sounds on unchanged
    EXPECT_TRUE(voices.playingVoices().head->keyDown());
}

TEST_F(VoicePool, MonoModeReleaseDuringTheFadeResumesTheFadingVoice)
{
    voices.setPolyphony(1);
    voices.noteOn(60, 100);
    render(1000);
    voices.noteOn(64, 100);
    render(1000);  // 60 still fading towards the held stack
    voices.noteOff(64);
    Voice* head = voices.playingVoices().head;
    EXPECT_EQ(head->note(), 64);
    Voice* sixty = find(voices.playingVoices(), 60, false);
    ASSERT_NE(sixty, nullptr);
    EXPECT_TRUE(sixty->resumed());
    render(5000);
    EXPECT_EQ(notesOn(voices.playingVoices()), (std::vector<int>{60}));
}

TEST_F(VoicePool, SustainPedalHoldsReleasedKeysUntilItGoesUp)
{
    f.context.sustainPedal = true;
    voices.noteOn(60, 100);
    render(1000);
    voices.noteOff(60);
    Voice* v = voices.playingVoices().head;
    EXPECT_TRUE(v->sustained());
    const std::vector<float> held = renderLeft(voices, 44100 * 2);
    EXPECT_GT(rms(held, held.size() - 4410), 0.1);  // still at its sustain level
    f.context.sustainPedal = false;
    voices.pedalUp();
    render(44100 * 2);
    EXPECT_EQ(voices.playingVoices().count, 0);
}

TEST_F(VoicePool, AllNotesOffReleasesEveryVoiceOrHoldsThemOnThePedal)
{
    for (int note : {60, 64, 67}) {
        voices.noteOn(note, 100);
    }
    render(1000);
    f.context.sustainPedal = true;
    voices.allNotesOff();
    render(44100 * 2);
    EXPECT_EQ(voices.playingVoices().count, 3);
    f.context.sustainPedal = false;
    voices.pedalUp();
    render(44100 * 2);
    EXPECT_EQ(voices.playingVoices().count, 0);

    voices.noteOn(60, 100);
    voices.allNotesOff();
    render(44100 * 2);
    EXPECT_EQ(voices.playingVoices().count, 0);
}

TEST_F(VoicePool, ASilentProgramKeepsItsVoicesWhileKeysAreHeld)
{
    f.disableAll();
    voices.noteOn(60, 100);
    const std::vector<float> out = renderLeft(voices, 44100);
    EXPECT_EQ(testing_support::peak(out), 0.0);
    ASSERT_EQ(voices.playingVoices().count, 1);
    EXPECT_FALSE(voices.playingVoices().head->sounding());
    voices.noteOff(60);
    EXPECT_TRUE(voices.playingVoices().head->sounding());
    render(1);
    EXPECT_EQ(voices.playingVoices().count, 0);
}

TEST_F(VoicePool, PitchBendAndPressureReachPlayingVoices)
{
    f.holdLevel(0);
    voices.noteOn(69, 100);
    voices.broadcastPitchBend(2.0f);
    const std::vector<float> bent = renderLeft(voices, 44100);
    EXPECT_NEAR(testing_support::zeroCrossingFrequency(bent, 44100.0), 880.0, 0.1);

    // Pressure drives the vibrato-by-aftertouch curve: at 0 the vibrato is gone.
    f.curve(object::kVibratoAmountAftertouch).setStartLevel(0, 0.0f);
    voices.broadcastAftertouch(0);
    voices.polyAftertouch(69, 127);  // only touches note 69
    EXPECT_EQ(voices.playingVoices().count, 1);
}

TEST(VoicePoolLimits, AnExhaustedPoolIgnoresNewNotes)
{
    EngineFixture f;
    VoiceManager voices(f.context, 32, 3);
    f.disableAll();
    EXPECT_NE(voices.noteOn(60, 100), nullptr);
    EXPECT_NE(voices.noteOn(61, 100), nullptr);
    EXPECT_NE(voices.noteOn(62, 100), nullptr);
    EXPECT_EQ(voices.noteOn(63, 100), nullptr);
    EXPECT_EQ(voices.playingVoices().count, 3);
    voices.resetAll();
    EXPECT_EQ(voices.freeVoices().count, 3);
}

}  // namespace
