// Notes through the plug-in object and through the module: timing of note-ons within a block,
// the default program's wave, tuning, pitch bend, the Voices parameter, sample-rate changes,
// wave selection (bank, off, additive) and no allocation while 32 voices play.
#include "dsp/effects/tempo_sync.h"
#include "dsp/filters/filter_types.h"
#include "engine/voice_manager.h"
#include "params/patch_object_table.h"
#include "plugin/synth_plugin.h"
#include "params/additive_settings_object.h"
#include "params/setting_objects.h"
#include "params/tuning_scale_object.h"
#include "params/wave_name_object.h"
#include "support/allocation_counter.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"
#include "wave/wave_bank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using testing_support::amplitudeAt;
using testing_support::zeroCrossingFrequency;

// A block of MIDI events the plug-in can be handed in one effProcessEvents call.
class EventBlock {
public:
    void add(int delta, std::uint8_t status, std::uint8_t d1, std::uint8_t d2)
    {
        events_.push_back(host::midiEvent(delta, status, d1, d2));
    }
    vst2::VstEvents* get()
    {
        storage_.assign(sizeof(vst2::VstEvents) + events_.size() * sizeof(vst2::VstEvent*), 0);
        auto* block = reinterpret_cast<vst2::VstEvents*>(storage_.data());
        block->numEvents = static_cast<vst2::VstInt32>(events_.size());
        for (std::size_t i = 0; i < events_.size(); ++i) {
            block->events[i] = reinterpret_cast<vst2::VstEvent*>(&events_[i]);
        }
        return block;
    }

private:
    std::vector<vst2::VstMidiEvent> events_;
    std::vector<std::uint8_t> storage_;
};

class PluginVoices : public ::testing::Test {
protected:
    pelko::SynthPlugin& plugin() { return *instance.plugin(); }
    void send(EventBlock& block)
    {
        instance.effect()->dispatcher(instance.effect(), vst2::effProcessEvents, 0, 0, block.get(), 0.0f);
    }
    void note(int delta, int key, int velocity = 100)
    {
        events.add(delta, 0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity));
    }
    // Renders frames (in blocks of 256) after handing in the pending events.
    std::vector<float> render(int frames)
    {
        // Like a host, the block stays valid until the process call has returned.
        sent = std::move(events);
        events = EventBlock();
        send(sent);
        std::vector<float> all;
        std::vector<float> left(256), right(256);
        float* outputs[2] = {left.data(), right.data()};
        while (frames > 0) {
            const int n = std::min(frames, 256);
            instance.effect()->processReplacing(instance.effect(), nullptr, outputs, n);
            all.insert(all.end(), left.begin(), left.begin() + n);
            frames -= n;
        }
        return all;
    }
    void apply(int object) { plugin().applyPatchObject(object); }

    testing_support::PluginEnvironment environment;
    testing_support::InProcessPlugin instance;
    EventBlock events;
    EventBlock sent;
};

TEST_F(PluginVoices, DefaultProgramPlaysTheWaveItNames)
{
    const std::string_view name =
        plugin().editBuffer().objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId).text();
    ASSERT_EQ(name, "Single Cycle\\Sine");
    std::shared_ptr<const pelko::Wave> expected;
    ASSERT_NE(pelko::WaveBank::shared(), nullptr);
    ASSERT_EQ(pelko::WaveBank::shared()->findWave(name, expected), 0);
    EXPECT_EQ(plugin().waveSlot(0).wave(), expected.get());
    for (int osc = 1; osc < 6; ++osc) {
        EXPECT_TRUE(plugin().waveSlot(osc).empty()) << osc;
    }
    note(0, 69);
    const auto out = render(1 << 15);
    EXPECT_NEAR(zeroCrossingFrequency(out, 44100.0, 8192), 440.0, 0.05);
    const double fundamental = amplitudeAt(out, 440.0, 44100.0, 8192, 16384);
    EXPECT_GT(fundamental, 0.05);
    EXPECT_LT(amplitudeAt(out, 880.0, 44100.0, 8192, 16384), 0.01 * fundamental);  // a sine
}

TEST_F(PluginVoices, VoicesParameterCreatesThePoolAndSetsTheLimit)
{
    ASSERT_NE(plugin().voiceManager(), nullptr);
    EXPECT_EQ(plugin().voiceManager()->polyphony(), 16);
    plugin().setParameter(0, 0.0f);
    EXPECT_EQ(plugin().voiceManager()->polyphony(), 1);
    plugin().setParameter(0, 1.0f);
    EXPECT_EQ(plugin().voiceManager()->polyphony(), 32);
    EXPECT_EQ(plugin().voiceManager()->poolSize(), 128);
}

// Changing Voices while the pool is crowded (stolen voices still fading, fewer free voices than
// the new limit) changes only the limit: nothing is allocated or freed on the processing thread,
// the sounding voices go on, and new notes keep to the new limit.
TEST_F(PluginVoices, VoicesChangeWhileProcessingNeitherAllocatesNorFrees)
{
    plugin().setParameter(0, 1.0f);  // 32 voices
    for (int k = 0; k < 120; ++k) {
        note(k, 4 + k);
    }
    render(256);
    const pelko::VoiceManager* pool = plugin().voiceManager();
    ASSERT_NE(pool, nullptr);
    ASSERT_GT(pool->playingVoices().count, 112);  // fewer than 16 voices free
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    {
        testing_support::AllocationCounter counter;
        instance.effect()->setParameter(instance.effect(), 0, 15.0f / 31.0f);  // 16 voices
        instance.effect()->processReplacing(instance.effect(), nullptr, outputs, 256);
        EXPECT_EQ(counter.count(), 0u);
        EXPECT_EQ(counter.frees(), 0u);
    }
    ASSERT_EQ(plugin().voiceManager(), pool);
    EXPECT_EQ(pool->polyphony(), 16);
    EXPECT_EQ(pool->poolSize(), 128);
    EXPECT_GE(pool->playingVoices().count, 32);   // the 32 held notes still sound
    EXPECT_GT(testing_support::rms(left), 0.01);

    events.add(0, 0xB0, 123, 0);  // all notes off
    render(256);
    for (int b = 0; b < 400 && pool->playingVoices().count > 0; ++b) {
        render(256);
    }
    ASSERT_EQ(pool->playingVoices().count, 0);
    for (int k = 0; k < 20; ++k) {
        note(k, 40 + k);
    }
    const auto out = render(16384);  // the stolen voices' fades are over
    EXPECT_EQ(pool->playingVoices().count, 16);
    EXPECT_GT(testing_support::rms(out, 8192), 0.01);
}

TEST_F(PluginVoices, TuningScaleOfTheProgramOrTheGlobalOneSetsThePitch)
{
    auto& scale = plugin().editBuffer().objectAs<pelko::TuningScaleObject>(pelko::object::kMicrotuningScale).scale();
    scale.setBaseFrequency(2.0f * pelko::TuningScale::kDefaultBaseFrequency);
    apply(pelko::object::kMicrotuningScale);
    EXPECT_NEAR(plugin().notePitchTable()[69], 880.0f, 0.01f);
    note(0, 69);
    EXPECT_NEAR(zeroCrossingFrequency(render(1 << 15), 44100.0, 8192), 880.0, 0.1);

    plugin().setGlobalTuning(true);  // the global scale is equal-tempered
    EXPECT_NEAR(plugin().notePitchTable()[69], 440.0f, 0.01f);

    // Pitches that come out as 0 Hz or infinite are replaced by the equal-tempered ones.
    plugin().setGlobalTuning(false);
    scale.setCents(10, -1e9f);
    scale.setCents(11, 1e9f);
    apply(pelko::object::kMicrotuningScale);
    for (float hz : plugin().notePitchTable()) {
        EXPECT_TRUE(std::isfinite(hz) && hz > 0.0f);
    }
}

TEST(ModuleVoices, NoteOnAtDeltaFrameStartsAtThatSample)
{
    testing_support::PluginEnvironment environment;
    testing_support::LoadedModule module;
    host::HostModule& host = module.host();
    std::vector<float> left, right;
    // Silence until the note (the output filter's tiny offsets stay far below any sound).
    for (int delta : {37, 0, 255}) {
        host.sendMidi({host::midiEvent(delta, 0x90, 60, 100)});
        host.processReplacing(left, right, 256);
        for (int n = 0; n < delta; ++n) {
            ASSERT_LT(std::fabs(left[static_cast<std::size_t>(n)]), 1e-20f) << delta << " " << n;
        }
        EXPECT_GT(std::fabs(left[static_cast<std::size_t>(delta)]), 1e-12f) << delta;
        host.suspend();  // cuts every voice and clears the output filter
        host.resume();
    }
}

TEST_F(PluginVoices, PitchBendMovesSoundingNotes)
{
    note(0, 69);
    render(4096);
    events.add(0, 0xE0, 0x55, 127);  // full bend up; only the upper 7 bits count
    const auto out = render(1 << 15);
    const double expected = 440.0 * std::pow(std::exp2(2.0 / 12.0), 127.0 / 64.0 - 1.0);
    EXPECT_NEAR(zeroCrossingFrequency(out, 44100.0, 4096), expected, 0.1);
}

TEST_F(PluginVoices, SustainAndAllNotesOffThroughMidi)
{
    events.add(0, 0xB0, 64, 127);
    note(0, 60);
    events.add(100, 0x80, 60, 0);
    render(44100);
    EXPECT_EQ(plugin().voiceManager()->playingVoices().count, 1);  // held by the pedal
    events.add(0, 0xB0, 64, 0);
    render(44100 * 2);
    EXPECT_EQ(plugin().voiceManager()->playingVoices().count, 0);

    note(0, 60);
    note(0, 64);
    events.add(10, 0xB0, 123, 0);
    render(44100 * 2);
    EXPECT_EQ(plugin().voiceManager()->playingVoices().count, 0);
}

TEST_F(PluginVoices, SampleRateChangeKeepsThePitchAndRebuildsTheFilters)
{
    auto& mode = plugin().editBuffer().objectAs<pelko::IntegerObject>(pelko::object::kFilterMode);
    mode.setValue(pelko::filter_id::kComb);
    apply(pelko::object::kFilterMode);
    instance.effect()->dispatcher(instance.effect(), vst2::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    note(0, 69);
    const auto out = render(96000);
    EXPECT_NEAR(zeroCrossingFrequency(out, 96000.0, 20000), 440.0, 0.05);
    instance.effect()->dispatcher(instance.effect(), vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
}

TEST_F(PluginVoices, ShapeOffSilencesAndAnAdditiveWavePlaysItsHarmonics)
{
    auto& shape = plugin().editBuffer().objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId);
    shape.setText("Off");
    apply(pelko::object::kOscShapeId);
    EXPECT_TRUE(plugin().waveSlot(0).empty());
    note(0, 60);
    EXPECT_LT(testing_support::peak(render(8192)), 1e-20);
    events.add(0, 0x80, 60, 0);
    render(256);

    auto& additive = plugin().editBuffer().objectAs<pelko::AdditiveSettingsObject>(pelko::object::kAdditiveSettings + 2);
    additive.setLevel(0, 1.0f);
    additive.setLevel(2, 0.5f);  // third harmonic at half level
    shape.setText("User-Defined\\User3");
    apply(pelko::object::kOscShapeId);
    ASSERT_FALSE(plugin().waveSlot(0).empty());
    note(0, 57);  // 220 Hz
    const auto out = render(1 << 15);
    const double first = amplitudeAt(out, 220.0, 44100.0, 8192, 16384);
    const double third = amplitudeAt(out, 660.0, 44100.0, 8192, 16384);
    EXPECT_NEAR(third / first, 0.5, 0.01);
    EXPECT_LT(amplitudeAt(out, 440.0, 44100.0, 8192, 16384), 0.005 * first);

    // Editing the additive settings rebuilds the wave of every oscillator that plays them.
    const pelko::Wave* before = plugin().waveSlot(0).wave();
    additive.setLevel(2, 0.0f);
    apply(pelko::object::kAdditiveSettings + 2);
    EXPECT_NE(plugin().waveSlot(0).wave(), before);
    apply(pelko::object::kAdditiveSettings + 1);  // settings nobody plays: nothing changes
    EXPECT_EQ(plugin().waveSlot(0).wave() != nullptr, true);
}

TEST_F(PluginVoices, MidiProgramChangeTakesDecodedWavesAtOnceAndLoadsTheRestLater)
{
    std::string other;
    for (const auto& listing : pelko::WaveBank::shared()->archiveListings()) {
        for (const std::string& name : listing.waveNames) {
            if (other.empty() && name != "Single Cycle\\Sine") {
                other = name;
            }
        }
    }
    ASSERT_FALSE(other.empty());
    pelko::Program& next = plugin().bank().editProgram(1);
    next.objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId + 1).setText("Single Cycle\\Sine");
    next.objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId + 2).setText(other);
    events.add(0, 0xC0, 1, 0);
    note(10, 69);
    const auto out = render(8192);
    EXPECT_EQ(plugin().currentProgram(), 1);
    EXPECT_FALSE(plugin().waveSlot(1).empty());  // decoded already: taken on the audio thread
    EXPECT_TRUE(plugin().waveSlot(2).empty());   // never decoded: waits for the user interface
    EXPECT_GT(testing_support::rms(out, 4096), 0.01);  // the note after the change plays
    // The bank slot was changed behind the plug-in's back, so its waves were not ready: the next
    // user-interface call loads them and says so on the debug channel.
    testing::internal::CaptureStderr();
    instance.effect()->dispatcher(instance.effect(), vst2::effGetProgram, 0, 0, nullptr, 0.0f);
    const std::string debug = testing::internal::GetCapturedStderr();
    EXPECT_NE(debug.find("program change to 1 on the audio thread: its waves were not ready"), std::string::npos)
        << debug;
    EXPECT_FALSE(plugin().waveSlot(2).empty());
}

TEST_F(PluginVoices, NoAllocationWhile32VoicesPlayForTenSeconds)
{
    pelko::Program& program = plugin().editBuffer();
    for (int osc = 0; osc < 6; ++osc) {
        program.objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId + osc).setText("Single Cycle\\Sine");
        apply(pelko::object::kOscShapeId + osc);
        plugin().setParameter(2 + osc, 0.5f + 0.125f * static_cast<float>(osc % 3) / 12.0f);
        plugin().setParameter(80 + osc, 0.1f);  // to filter 1
        plugin().setParameter(86 + osc, 0.1f);  // to filter 2
        plugin().setParameter(92 + osc, 0.05f);
        plugin().setParameter(26 + 6 * ((osc + 1) % 6) + osc, 0.3f);  // each modulated by the next
    }
    program.objectAs<pelko::IntegerObject>(pelko::object::kFilterMode).setValue(pelko::filter_id::kLowpass24);
    program.objectAs<pelko::IntegerObject>(pelko::object::kFilterMode + 1).setValue(pelko::filter_id::kAnalogLowpass2);
    apply(pelko::object::kFilterMode);
    apply(pelko::object::kFilterMode + 1);
    plugin().setParameter(111, 0.6f);
    plugin().setParameter(112, 0.4f);
    plugin().setParameter(0, 1.0f);  // 32 voices

    EventBlock first;
    for (int k = 0; k < 32; ++k) {
        first.add(k, 0x90, static_cast<std::uint8_t>(40 + k), 100);
    }
    vst2::VstEvents* block = first.get();
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    double energy = 0.0;
    {
        testing_support::AllocationCounter counter;
        instance.effect()->dispatcher(instance.effect(), vst2::effProcessEvents, 0, 0, block, 0.0f);
        for (int b = 0; b < 44100 * 10 / 256; ++b) {
            instance.effect()->processReplacing(instance.effect(), nullptr, outputs, 256);
            energy += testing_support::rms(left);
        }
        EXPECT_EQ(counter.count(), 0u);
    }
    EXPECT_EQ(plugin().voiceManager()->playingVoices().count, 32);
    EXPECT_GT(energy, 0.0);
}

}  // namespace

namespace {

// Program changes to every factory program in turn, then back down, each followed by a chord,
// while earlier notes still sound: the whole run happens on the processing thread and must not
// allocate (tuning-scale names, segment lists and synced delay lines included).
TEST(FactoryProgramChanges, NeverAllocateWhileNotesPlay)
{
    testing_support::PluginEnvironment environment(true, true);
    testing_support::InProcessPlugin instance;
    vst2::AEffect* effect = instance.effect();
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<EventBlock> blocks;
    std::vector<int> order;
    for (int p = 0; p < pelko::kProgramCount; ++p) {
        order.push_back(p);
    }
    for (int p = pelko::kProgramCount - 1; p >= 0; p -= 3) {
        order.push_back(p);
    }
    for (int p : order) {
        EventBlock block;
        block.add(0, 0xC0, static_cast<std::uint8_t>(p), 0);
        for (int k = 0; k < 4; ++k) {
            block.add(1 + k, 0x90, static_cast<std::uint8_t>(48 + 7 * k + p % 5), 100);
        }
        blocks.push_back(std::move(block));
    }
    std::vector<vst2::VstEvents*> prepared;
    for (EventBlock& block : blocks) {
        prepared.push_back(block.get());
    }
    // The bank's synced delays were given room when the bank was loaded: not even the first
    // visit of a program allocates, at the host's slowest usable tempo or at a fast one.
    for (int pass = 0; pass < 2; ++pass) {
        testing_support::InProcessPlugin::setHostTempo(pass == 0 ? pelko::kMinTempo : 180.0);
        testing_support::AllocationCounter counter;
        double energy = 0.0;
        for (std::size_t i = 0; i < prepared.size(); ++i) {
            effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, prepared[i], 0.0f);
            for (int b = 0; b < 8; ++b) {
                effect->processReplacing(effect, nullptr, outputs, 256);
                energy += testing_support::rms(left);
            }
            EXPECT_EQ(counter.count(), 0u) << "pass " << pass << ", program " << order[i];
            // ...and no synced delay had to play shorter than its program asks.
            EXPECT_FALSE(instance.plugin()->effects().linesShortened()) << "program " << order[i];
        }
        EXPECT_GT(energy, 0.0);
    }
    testing_support::InProcessPlugin::setHostTempo(0.0);
}

}  // namespace
