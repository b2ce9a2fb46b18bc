// The plug-in side of processing: events kept for the next block, the host tempo, the block
// rendered by the engine, and what the engine hands back (program changes, controllers that drive
// parameters, MIDI learn) and parameter changes sent out as MIDI.
#include "plugin/synth_plugin.h"

#include "audio/controller_map.h"
#include "dsp/effects/tempo_sync.h"
#include "params/parameter_ids.h"

#include <algorithm>

namespace pelko {
namespace {

constexpr int kDataIncrement = 96;
constexpr int kDataDecrement = 97;
constexpr float kControllerScale = 0.007874016f;  // 1/127

}  // namespace

void SynthPlugin::receiveEvents(const MidiEventList& events)
{
    LockGuard lock(processLock_);
    // Events that arrive while a program is being selected are dropped, never replayed.
    if (masterGain_.load(std::memory_order_relaxed) == 0.0f) {
        engine_.dropEvents();
        return;
    }
    engine_.setEvents(events);
}

void SynthPlugin::processOutputs(float** outputs, int frames, bool accumulate)
{
    if (outputs == nullptr) {
        process(nullptr, nullptr, 0, accumulate);
        return;
    }
    process(outputs[0], outputs[1], frames, accumulate);
}

void SynthPlugin::process(float* left, float* right, int frames, bool accumulate)
{
    {
        AudioThreadScope audioThread;
        if (frames <= 0 || left == nullptr || right == nullptr) {
            LockGuard lock(processLock_);
            engine_.dropEvents();
            return;
        }
        followHostTempo();  // the tempo is taken from the host every block
        noteProcessing();
        LockGuard lock(processLock_);
        engine_.render(left, right, frames, accumulate, *this);
        if (engine_.effects().linesShortened()) {
            effectLinesShortened_.store(true);
        }
    }
    // A program change during the block renamed the program: the host is told once the lock is
    // released.
    if (hostDisplayStale_.exchange(false) && host_ != nullptr) {
        host_->updateDisplay();
    }
}

void SynthPlugin::followHostTempo()
{
    const std::optional<double> tempo = host_ != nullptr ? host_->tempo() : std::nullopt;
    // A tempo outside the usable range is a host error: the last usable tempo stays.
    if (!tempo || !isUsableTempo(*tempo)) {
        return;
    }
    LockGuard lock(processLock_);
    if (engine_.setTempo(static_cast<float>(*tempo))) {
        // The sequencer's step length depends on the tempo.
        setParameter(param::kSeqSpeed, editBuffer_.values[param::kSeqSpeed]);
    }
}

void SynthPlugin::programChangeReceived(int program)
{
    if (program < kProgramCount) {
        selectProgram(program);
    }
}

void SynthPlugin::controllerReceived(int controller, int value)
{
    if (controller == kDataIncrement || controller == kDataDecrement) {
        std::uint8_t p = parameterOfController(value);
        if (p == kNoController) {
            return;
        }
        float stored = editBuffer_.values[p];
        float step = parameterTable()[p].step;
        float v = controller == kDataIncrement ? std::min(stored + step, 1.0f) : std::max(stored - step, 0.0f);
        if (v != stored) {
            setParameter(p, v);
        }
        return;
    }
    const int learning = learnTarget_.exchange(kNoLearnTarget);
    if (learning != kNoLearnTarget) {
        assignController(learning, controller);
        return;
    }
    std::uint8_t p = parameterOfController(controller);
    if (p != kNoController) {
        setParameter(p, static_cast<float>(value) * kControllerScale);
    }
}

void SynthPlugin::sendControllerToHost(int parameter, float value)
{
    std::uint8_t cc = controllerOfParameter(parameter);
    if (cc == kNoController || host_ == nullptr) {
        return;
    }
    const std::uint8_t bytes[3] = {0xB0, cc, static_cast<std::uint8_t>(static_cast<int>(value * 127.0f))};
    host_->sendMidi(engine_.renderPosition(), bytes);
}

void SynthPlugin::tellHostDisplayChanged()
{
    if (onAudioThread()) {
        hostDisplayStale_.store(true);
    } else if (host_ != nullptr) {
        host_->updateDisplay();
    }
}

}  // namespace pelko
