// The whole module through the host harness: 1, 8 and 32 held notes of a program with all six
// oscillators (an FM ring), both filters and both effect slots, in blocks of 256 samples at 44.1
// and 96 kHz. The program is set up in an in-process plug-in and handed to the module as a chunk.
//
// Also the benchmark program at 128 voices (four instances of 32) and the heaviest factory program
// at 32 voices.
//
// Counters: rt_factor = seconds of audio rendered per second of one core; voices_per_core =
// voices × rt_factor.
#include "dsp/filters/filter_types.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"
#include "plugin/entry_point.h"
#include "plugin/synth_plugin.h"

#include "host_module.h"
#include "private_install.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

vst2::VstIntPtr quietHost(vst2::AEffect*, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr, void*, float)
{
    return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

std::vector<std::uint8_t> fullProgramChunk()
{
    vst2::AEffect* effect = pelko::pluginEntry(&quietHost);
    pelko::SynthPlugin& plugin = *pelko::SynthPlugin::fromEffect(effect);
    pelko::Program& program = plugin.editBuffer();
    namespace object = pelko::object;
    namespace param = pelko::param;
    for (int osc = 0; osc < 6; ++osc) {
        program.objectAs<pelko::WaveNameObject>(object::kOscShapeId + osc).setText("Single Cycle\\Sine");
        plugin.applyPatchObject(object::kOscShapeId + osc);
        // Each oscillator modulates the next one round the ring.
        const int source = (osc + 1) % 6;
        plugin.setParameter(param::kFmMatrix + 6 * source + osc, 0.3f);
        plugin.setParameter(param::kOscToFilter1 + osc, 0.3f);
        plugin.setParameter(param::kOscToFilter2 + osc, 0.3f);
        plugin.setParameter(param::kOscDirect + osc, 0.1f);
    }
    const int filter1 = 0, filter2 = 1, slot1 = 0, slot2 = 1;
    program.objectAs<pelko::IntegerObject>(object::kFilterMode + filter1).setValue(pelko::filter_id::kLowpass24);
    program.objectAs<pelko::IntegerObject>(object::kFilterMode + filter2).setValue(pelko::filter_id::kAnalogLowpass2);
    program.objectAs<pelko::IntegerObject>(object::kFxType + slot1).setValue(1);   // stereo delay
    program.objectAs<pelko::IntegerObject>(object::kFxType + slot2).setValue(30);  // quad phaser
    for (int changed : {object::kFilterMode + filter1, object::kFilterMode + filter2, object::kFxType + slot1,
                        object::kFxType + slot2}) {
        plugin.applyPatchObject(changed);
    }
    plugin.setParameter(param::kVoices, 1.0f);  // 32 voices
    plugin.setParameter(param::kCutoff + filter1, 0.6f);
    plugin.setParameter(param::kCutoff + filter2, 0.4f);
    plugin.setParameter(param::kCutoffEnvMod + filter1, 0.5f);
    plugin.setParameter(param::kFxDryWet + slot1, 0.5f);
    plugin.setParameter(param::kFxDryWet + slot2, 0.5f);
    void* data = nullptr;
    const auto size = effect->dispatcher(effect, vst2::effGetChunk, 1, 0, &data, 0.0f);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> chunk(bytes, bytes + (size > 0 ? size : 0));
    effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
    return chunk;
}

// What one benchmark plays: the benchmark program (a chunk) or a factory program (by number),
// `notes` held notes in each of `instances` instances of the module at `path`.
struct Setup {
    std::string path;
    int factoryProgram = -1;  // −1: the benchmark program
    int notes = 0;
    int instances = 1;
    float rate = 44100.0f;
};

const std::vector<std::uint8_t>& benchmarkProgram()
{
    static const std::vector<std::uint8_t> chunk = fullProgramChunk();
    return chunk;
}

void playModule(benchmark::State& state, const Setup& setup)
{
    if (!bench::isolateConfiguration()) {
        state.SkipWithError("no private install folder could be made in /tmp");
        return;
    }
    std::vector<std::unique_ptr<host::HostModule>> modules;
    for (int k = 0; k < setup.instances; ++k) {
        auto module = std::make_unique<host::HostModule>();
        if (!module->load(setup.path) || module->instantiate() == nullptr) {
            state.SkipWithError(module->error().c_str());
            return;
        }
        module->open();
        module->setSampleRate(setup.rate);
        module->setBlockSize(256);
        if (setup.factoryProgram >= 0) {
            module->setProgram(setup.factoryProgram);
            module->setParameter(0, 1.0f);  // the voice limit at 32, whatever the program's own
        } else if (!module->setChunk(true, benchmarkProgram())) {
            state.SkipWithError("the program chunk was refused");
            return;
        }
        module->resume();
        std::vector<vst2::VstMidiEvent> events;
        for (int i = 0; i < setup.notes; ++i) {
            events.push_back(host::midiEvent(0, 0x90, static_cast<std::uint8_t>(36 + i * 2), 100));
        }
        module->sendMidi(events);
        modules.push_back(std::move(module));
    }
    std::vector<float> left, right;
    for (int b = 0; b < 64; ++b) {
        for (auto& module : modules) {
            module->processReplacing(left, right, 256);  // past the attacks
        }
    }
    for (auto _ : state) {
        for (auto& module : modules) {
            module->processReplacing(left, right, 256);
            benchmark::DoNotOptimize(left.data());
        }
    }
    const double seconds = 256.0 / setup.rate;
    state.counters["rt_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["voices_per_core"] = benchmark::Counter(
        seconds * setup.notes * setup.instances, benchmark::Counter::kIsIterationInvariantRate);
    for (auto& module : modules) {
        module->closeInstance();
    }
}

// Each case runs for this build's module and, when PELKO_REFERENCE_MODULE names another build of
// it (for example main's), for that one right after, so that speed-ups are ratios measured side by
// side in one run on the same machine.
void registerCase(const std::string& name, Setup setup)
{
    const char* reference = std::getenv("PELKO_REFERENCE_MODULE");
    std::vector<std::pair<std::string, std::string>> builds{{"", PELKO_MODULE_PATH}};
    if (reference != nullptr && *reference != '\0') {
        builds.emplace_back("reference/", reference);
    }
    for (const auto& [prefix, path] : builds) {
        setup.path = path;
        benchmark::RegisterBenchmark((prefix + name).c_str(),
                                     [setup](benchmark::State& state) { playModule(state, setup); })
            ->Unit(benchmark::kMicrosecond);
    }
}

// The factory program that costs most to play (measured with pelko-measure compare).
constexpr int kHeaviestFactoryProgram = 40;

const bool registered = [] {
    for (int rate : {44100, 96000}) {
        for (int notes : {1, 8, 32}) {
            registerCase("wholeModule/voices:" + std::to_string(notes) + "/rate:" + std::to_string(rate),
                         Setup{"", -1, notes, 1, static_cast<float>(rate)});
        }
        // The voice limit is 32 per instance: 128 voices are four instances of 32.
        registerCase("wholeModule/voices:128/instances:4/rate:" + std::to_string(rate),
                     Setup{"", -1, 32, 4, static_cast<float>(rate)});
    }
    registerCase("heaviestFactoryProgram/voices:32/rate:44100",
                 Setup{"", kHeaviestFactoryProgram, 32, 1, 44100.0f});
    return true;
}();

}  // namespace
