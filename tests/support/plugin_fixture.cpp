#include "support/plugin_fixture.h"

#include "plugin/entry_point.h"
#include "params/program.h"
#include "plugin/synth_plugin.h"
#include "storage/chunk_storage.h"

#include <gtest/gtest.h>

#include <atomic>

namespace testing_support {
namespace {
std::atomic<long> hostVersionAnswer{2400};
std::atomic<int> automateCount{0};
std::atomic<int> updateDisplayCount{0};
std::atomic<int> lastMidiOut{-1};
std::atomic<int> gestureDepth{0};
std::atomic<int> gestureCount{0};
std::atomic<double> hostTempoAnswer{0.0};
std::atomic<bool> entryReturned{true};
std::atomic<int> callsBeforeEntry{0};

vst2::VstIntPtr recordingHost(vst2::AEffect*, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr, void* ptr, float)
{
    if (!entryReturned.load() && opcode != vst2::audioMasterVersion) {
        ++callsBeforeEntry;
    }
    switch (opcode) {
    case vst2::audioMasterVersion: return hostVersionAnswer.load();
    case vst2::audioMasterGetTime: {
        thread_local vst2::VstTimeInfo info{};
        const double tempo = hostTempoAnswer.load();
        if (tempo <= 0.0) {
            return 0;
        }
        info.sampleRate = 44100.0;
        info.tempo = tempo;
        info.flags = vst2::kVstTempoValid;
        return reinterpret_cast<vst2::VstIntPtr>(&info);
    }
    case vst2::audioMasterAutomate: ++automateCount; return 0;
    case vst2::audioMasterUpdateDisplay: ++updateDisplayCount; return 1;
    case vst2::audioMasterBeginEdit: ++gestureDepth; ++gestureCount; return 1;
    case vst2::audioMasterEndEdit: --gestureDepth; return 1;
    case vst2::audioMasterProcessEvents: {
        const auto* events = static_cast<const vst2::VstEvents*>(ptr);
        if (events != nullptr && events->numEvents > 0) {
            const auto* midi = reinterpret_cast<const vst2::VstMidiEvent*>(events->events[0]);
            lastMidiOut = (static_cast<std::uint8_t>(midi->midiData[0]) << 16) |
                          (static_cast<std::uint8_t>(midi->midiData[1]) << 8) | static_cast<std::uint8_t>(midi->midiData[2]);
        }
        return 1;
    }
    default: return 0;
    }
}
}  // namespace

PluginEnvironment::PluginEnvironment(bool withPath, bool withFactoryBank)
    : install_(withFactoryBank), ui_(std::make_shared<pelko::ScriptedUserInterface>())
{
    if (withPath) {
        config_.writeRegistry("path=" + install_.path() + "\n");
    }
    previousUi_ = pelko::setUserInterface(ui_);
}

PluginEnvironment::~PluginEnvironment() { pelko::setUserInterface(previousUi_); }

InProcessPlugin::InProcessPlugin(long hostVersion)
{
    hostVersionAnswer = hostVersion;
    automateCount = 0;
    updateDisplayCount = 0;
    lastMidiOut = -1;
    gestureDepth = 0;
    gestureCount = 0;
    callsBeforeEntry = 0;
    entryReturned = false;
    effect_ = pelko::pluginEntry(&recordingHost);
    entryReturned = true;
    plugin_ = effect_ != nullptr ? pelko::SynthPlugin::fromEffect(effect_) : nullptr;
    // As a host does once it has the descriptor.
    if (effect_ != nullptr) {
        effect_->dispatcher(effect_, vst2::effOpen, 0, 0, nullptr, 0.0f);
    }
}

InProcessPlugin::~InProcessPlugin()
{
    if (effect_ != nullptr) {
        effect_->dispatcher(effect_, vst2::effClose, 0, 0, nullptr, 0.0f);
    }
}

int InProcessPlugin::automateCalls() const { return automateCount.load(); }
int InProcessPlugin::updateDisplayCalls() const { return updateDisplayCount.load(); }
int InProcessPlugin::lastMidiSent() const { return lastMidiOut.load(); }
int InProcessPlugin::openGestures() const { return gestureDepth.load(); }
int InProcessPlugin::gestures() const { return gestureCount.load(); }
int InProcessPlugin::callsBeforeDescriptor() const { return callsBeforeEntry.load(); }
void InProcessPlugin::setHostTempo(double bpm) { hostTempoAnswer = bpm; }

LoadedModule::LoadedModule()
{
    if (!module_.load(modulePath())) {
        ADD_FAILURE() << module_.error();
        return;
    }
    if (module_.instantiate() == nullptr) {
        ADD_FAILURE() << module_.error();
        return;
    }
    module_.open();
}

std::vector<pelko::Program> factoryPrograms(const PluginEnvironment& environment, bool withUnnamed)
{
    std::vector<pelko::Program> programs;
    for (const char* file : {"Factory.fxb", "Expanded.fxb", "Performance.fxb"}) {
        pelko::ProgramBank bank;
        if (!pelko::loadForeignBankFile(environment.installFolder() + "presets/" + file, bank)) {
            ADD_FAILURE() << file << " does not load";
            continue;
        }
        for (int slot = 0; slot < pelko::kProgramCount; ++slot) {
            const pelko::Program& program = bank.program(slot);
            bool seen = !withUnnamed && program.name().rfind("program ", 0) == 0;
            for (const pelko::Program& other : programs) {
                seen = seen || other.name() == program.name();
            }
            if (!seen) {
                programs.push_back(program);
            }
        }
    }
    return programs;
}

}  // namespace testing_support
