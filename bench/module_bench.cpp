// The whole module through the host harness: 1, 8 and 32 held notes of a program with all six
// oscillators (an FM ring), both filters and both effect slots, in blocks of 256 samples at 44.1
// and 96 kHz. The program is set up in an in-process plug-in and handed to the module as a chunk.
//
// Counters: rt_factor = seconds of audio rendered per second of one core.
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

#include <string>
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

void wholeModule(benchmark::State& state)
{
    const int notes = static_cast<int>(state.range(0));
    const auto rate = static_cast<float>(state.range(1));
    if (!bench::isolateConfiguration()) {
        state.SkipWithError("no private install folder could be made in /tmp");
        return;
    }
    const std::vector<std::uint8_t> chunk = fullProgramChunk();
    host::HostModule module;
    if (!module.load(PELKO_MODULE_PATH) || module.instantiate() == nullptr) {
        state.SkipWithError(module.error().c_str());
        return;
    }
    module.open();
    module.setSampleRate(rate);
    module.setBlockSize(256);
    if (!module.setChunk(true, chunk)) {
        state.SkipWithError("the program chunk was refused");
        return;
    }
    module.resume();
    std::vector<vst2::VstMidiEvent> events;
    for (int i = 0; i < notes; ++i) {
        events.push_back(host::midiEvent(0, 0x90, static_cast<std::uint8_t>(36 + i * 2), 100));
    }
    module.sendMidi(events);
    std::vector<float> left, right;
    for (int b = 0; b < 64; ++b) {
        module.processReplacing(left, right, 256);  // past the attacks
    }
    for (auto _ : state) {
        module.processReplacing(left, right, 256);
        benchmark::DoNotOptimize(left.data());
    }
    state.counters["rt_factor"] = benchmark::Counter(256.0 / rate, benchmark::Counter::kIsIterationInvariantRate);
    module.closeInstance();
}

BENCHMARK(wholeModule)
    ->ArgsProduct({{1, 8, 32}, {44100, 96000}})
    ->ArgNames({"voices", "rate"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
