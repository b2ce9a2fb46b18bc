// The editor's door: scoped reads, gestures around automated sets, object edits that run their
// apply step, and the change queue filled by every thread and drained at the editor's idle.
#include "params/patch_object_table.h"
#include "plugin/editor_port.h"
#include "params/wave_name_object.h"
#include "support/allocation_counter.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <set>
#include <thread>
#include <vector>

namespace {

using testing_support::InProcessPlugin;
using testing_support::PluginEnvironment;

// Records what a drain reports.
struct Drained {
    std::set<int> parameters;
    std::set<int> objects;
    bool programName = false;
    bool currentProgram = false;
    bool bank = false;
    void parameter(int i) { parameters.insert(i); }
    void object(int k) { objects.insert(k); }
};

struct Visitor {
    Drained& out;
    void parameter(int i) { out.parameter(i); }
    void object(int k) { out.object(k); }
    void programName() { out.programName = true; }
    void currentProgram() { out.currentProgram = true; }
    void bank() { out.bank = true; }
};

Drained drain(pelko::EditorPort& port)
{
    Drained d;
    port.drainChanges(Visitor{d});
    return d;
}

// Renders one block with the events; returns the allocations the processing call made.
std::size_t processBlock(vst2::AEffect* effect, const std::vector<vst2::VstMidiEvent>& events)
{
    host::MidiEventBlock block(events);
    effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    testing_support::AllocationCounter counter;
    effect->processReplacing(effect, nullptr, outputs, 256);
    return counter.count();
}

class EditorPortTest : public ::testing::Test {
protected:
    EditorPortTest() : port(*instance.plugin()) { drain(port); }

    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::EditorPort port;
};

// A drain that, at its first report, has the audio thread render a block and waits for it there.
struct DrainThatRendersMeanwhile {
    std::function<void()> renderOnAudioThread;
    bool audioFinishedInTime = false;
    bool started = false;
    void parameter(int)
    {
        if (started) {
            return;
        }
        started = true;
        std::packaged_task<void()> task(renderOnAudioThread);
        std::future<void> finished = task.get_future();
        std::thread audio(std::move(task));
        audioFinishedInTime = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        audio.join();
    }
    void object(int) {}
    void programName() {}
    void currentProgram() {}
    void bank() {}
};

TEST_F(EditorPortTest, AudioThreadChangesReachTheDrainWithoutWaitingOrAllocating)
{
    vst2::AEffect* effect = instance.effect();
    processBlock(effect, {});  // the voice pool and the waves are in place before measuring

    // The user-interface thread is inside a drain while the audio thread renders a controller
    // change: marking must neither wait for the drain nor allocate.
    instance.plugin()->changes().markParameter(100);
    std::size_t allocations = 999;
    DrainThatRendersMeanwhile meanwhile{[&] {
        const std::vector<vst2::VstMidiEvent> events{host::midiEvent(0, 0xB0, 7, 100)};  // Main Level
        host::MidiEventBlock block(events);
        std::vector<float> left(256), right(256);
        float* outputs[2] = {left.data(), right.data()};
        effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
        testing_support::AllocationCounter counter;
        effect->processReplacing(effect, nullptr, outputs, 256);
        allocations = counter.count();
    }};
    port.drainChanges(meanwhile);
    EXPECT_TRUE(meanwhile.audioFinishedInTime) << "the audio thread waited for the drain";
    EXPECT_EQ(allocations, 0u);

    // Parameter 1 was marked after the running drain had passed it: the next drain reports it.
    const Drained after = drain(port);
    EXPECT_EQ(after.parameters, std::set<int>{1});
    EXPECT_FLOAT_EQ(port.read().value(1), 100.0f / 127.0f);
    Drained none;
    EXPECT_FALSE(port.drainChanges(Visitor{none}));
}

TEST_F(EditorPortTest, AProgramChangeOnTheAudioThreadReportsProgramNameAndObjects)
{
    pelko::Program next = instance.plugin()->bank().program(0);
    next.setName("Next One");
    next.objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId + 1).setText("Single Cycle\\Sine");
    instance.plugin()->storeProgram(3, next);
    EXPECT_TRUE(drain(port).bank);

    processBlock(instance.effect(), {});
    EXPECT_EQ(processBlock(instance.effect(), {host::midiEvent(5, 0xC0, 3, 0), host::midiEvent(5, 0x90, 60, 100)}), 0u);
    const Drained d = drain(port);
    EXPECT_TRUE(d.currentProgram);
    EXPECT_TRUE(d.programName);
    EXPECT_EQ(d.objects.size(), static_cast<std::size_t>(pelko::kPatchObjectCount));
    EXPECT_EQ(d.parameters.size(), static_cast<std::size_t>(pelko::kParameterCount));
    EXPECT_EQ(port.read().currentProgram(), 3);
    EXPECT_EQ(port.read().program().name(), "Next One");
    // The slot's waves were ready: the second oscillator plays at once.
    EXPECT_FALSE(instance.plugin()->waveSlot(1).empty());
}

TEST_F(EditorPortTest, GesturesBracketAutomationAndReadsMatchTheHostView)
{
    port.beginGesture(111);
    EXPECT_EQ(instance.openGestures(), 1);
    port.setParameter(111, 0.25f);
    port.setParameter(111, 0.5f);
    port.endGesture(111);
    EXPECT_EQ(instance.openGestures(), 0);
    EXPECT_EQ(instance.gestures(), 1);
    EXPECT_EQ(instance.automateCalls(), 2);
    port.beginGesture(208);  // not a parameter: nothing reaches the host
    EXPECT_EQ(instance.gestures(), 1);

    vst2::AEffect* effect = instance.effect();
    char hostText[16] = {};
    effect->dispatcher(effect, vst2::effGetParamDisplay, 111, 0, hostText, 0.0f);
    const auto reading = port.read();
    EXPECT_FLOAT_EQ(reading.value(111), effect->getParameter(effect, 111));
    EXPECT_EQ(reading.displayText(111).substr(0, 8), std::string(hostText));
    EXPECT_EQ(reading.displayText(208), "");
}

TEST_F(EditorPortTest, ObjectEditsRunUnderTheLockThenApply)
{
    drain(port);
    const int shape = pelko::object::kOscShapeId + 2;
    ASSERT_TRUE(instance.plugin()->waveSlot(2).empty());
    EXPECT_TRUE(port.editObject(shape, [](pelko::PatchObject& object) {
        static_cast<pelko::WaveNameObject&>(object).setText("Single Cycle\\Sine");
    }));
    EXPECT_FALSE(instance.plugin()->waveSlot(2).empty());  // the apply step built the wave
    EXPECT_EQ(drain(port).objects, std::set<int>{shape});

    bool ran = false;
    EXPECT_FALSE(port.editObject(pelko::kPatchObjectCount, [&](pelko::PatchObject&) { ran = true; }));
    EXPECT_FALSE(ran);
}

}  // namespace
