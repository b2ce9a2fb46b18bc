#include "render_session.h"

#include "audio_file_writer.h"
#include "demo_phrase.h"
#include "event_schedule.h"
#include "midi_file.h"
#include "preset_file.h"

#include "host_module.h"
#include "platform/file_system.h"

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace render {
namespace {

// MIDI and preset files larger than this are refused before they are read.
constexpr std::size_t kMaxInputBytes = std::size_t(64) << 20;

RenderResult failure(int code, std::string text)
{
    RenderResult result;
    result.exitCode = code;
    result.error = std::move(text);
    return result;
}

// Reads an input file whole; on failure says why, naming the file.
bool readInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (!pelko::fileExists(path)) {
        error = path + ": no such file";
        return false;
    }
    auto contents = pelko::readWholeFile(path, kMaxInputBytes);
    if (!contents) {
        error = path + ": cannot be read (or is larger than 64 MiB)";
        return false;
    }
    bytes = std::move(*contents);
    return true;
}

// Sums of one channel for peak and RMS.
struct LevelMeter {
    double peak = 0.0;
    double sumSquares = 0.0;

    // Replaces samples that are not finite by 0 and counts them.
    std::uint64_t measure(float* samples, int frames)
    {
        std::uint64_t bad = 0;
        for (int i = 0; i < frames; ++i) {
            float x = samples[i];
            if (!std::isfinite(x)) {
                samples[i] = 0.0f;
                ++bad;
                continue;
            }
            double magnitude = std::fabs(static_cast<double>(x));
            peak = magnitude > peak ? magnitude : peak;
            sumSquares += static_cast<double>(x) * x;
        }
        return bad;
    }
};

// The module, opened and configured; closed when this goes away.
class Instrument {
public:
    ~Instrument()
    {
        if (module_.effect() != nullptr) {
            module_.stopProcess();
            module_.suspend();
        }
    }

    bool load(const std::string& path, std::string& error)
    {
        if (!module_.load(path)) {
            error = "cannot load the module " + path + ": " + module_.error();
            return false;
        }
        vst2::AEffect* effect = module_.instantiate();
        if (effect == nullptr) {
            error = path + ": " + module_.error();
            return false;
        }
        if (effect->numOutputs < 2 || effect->processReplacing == nullptr) {
            error = path + ": the module has no stereo output it can render into";
            return false;
        }
        return true;
    }

    host::HostModule& module() { return module_; }

private:
    host::HostModule module_;
};

bool loadPreset(host::HostModule& module, const std::string& path, bool bank, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readInput(path, bytes, error)) {
        return false;
    }
    std::string why;
    std::optional<PresetChunk> preset = readPresetChunk(bytes, bank, why);
    if (!preset) {
        error = path + ": " + why;
        return false;
    }
    const vst2::VstInt32 id = module.effect()->uniqueID;
    if (preset->pluginId != id) {
        error = path + ": saved by a plug-in with the id '" + fourCharacterText(preset->pluginId) +
                "', this module is '" + fourCharacterText(id) + "'";
        return false;
    }
    if (!module.setChunk(!bank, preset->chunk)) {
        error = path + ": the module did not accept this " + (bank ? "bank" : "program");
        return false;
    }
    return true;
}

}  // namespace

std::string decibelText(double linear)
{
    if (!(linear > 0.0)) {
        return "-inf";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 20.0 * std::log10(linear));
    return text;
}

std::string findDefaultModule(const std::string& executablePath, std::vector<std::string>& tried)
{
    tried.clear();
    std::string folder = pelko::folderPart(executablePath);
    if (!folder.empty()) {
        tried.push_back(folder + "/pelko2.so");
        tried.push_back(folder + "/../../pelko2.so");
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        tried.push_back(std::string(home) + "/.vst/pelko2.so");
    }
    for (const std::string& candidate : tried) {
        if (pelko::fileExists(candidate)) {
            return candidate;
        }
    }
    return {};
}

RenderResult renderToFile(const RenderOptions& options, const std::string& executablePath, RenderProgress* progress,
                          const std::atomic<bool>* cancel)
{
    RenderResult result;
    RenderSummary& summary = result.summary;
    std::string error;

    // What to play.
    pelko::MidiSequence sequence;
    if (!options.midiFile.empty()) {
        std::vector<std::uint8_t> bytes;
        if (!readInput(options.midiFile, bytes, error)) {
            return failure(kExitFailure, error);
        }
        pelko::MidiFileResult read = pelko::readMidiFile(bytes);
        if (!read.sequence) {
            return failure(kExitFailure, options.midiFile + ": " + read.error.text());
        }
        sequence = std::move(*read.sequence);
        for (const std::string& warning : sequence.warnings) {
            summary.notes.push_back(options.midiFile + ": " + warning);
        }
    } else {
        sequence = demoPhrase(options.demoPrograms);
    }

    // The instrument.
    summary.modulePath = options.modulePath;
    if (summary.modulePath.empty()) {
        std::vector<std::string> tried;
        summary.modulePath = findDefaultModule(executablePath, tried);
        if (summary.modulePath.empty()) {
            std::string places;
            for (const std::string& t : tried) {
                places += "\n  " + t;
            }
            return failure(kExitFailure, "no pelko2.so found; give one with --module PATH. Looked for:" + places);
        }
    }
    auto instrument = std::make_unique<Instrument>();
    if (!instrument->load(summary.modulePath, error)) {
        return failure(kExitFailure, error);
    }
    host::HostModule& module = instrument->module();
    {
        std::lock_guard<std::mutex> lock(module.stateMutex());
        module.state().sampleRate = options.sampleRate;
        module.state().blockSize = options.blockSize;
        module.state().provideTimeInfo = true;
    }
    module.open();
    module.setSampleRate(static_cast<float>(options.sampleRate));
    module.setBlockSize(options.blockSize);
    summary.instrument = module.effectName();
    if (!options.bankFile.empty() && !loadPreset(module, options.bankFile, true, error)) {
        return failure(kExitFailure, error);
    }
    if (options.programIndex) {
        const int count = module.effect()->numPrograms;
        if (*options.programIndex >= count) {
            return failure(kExitUsage, "--index " + std::to_string(*options.programIndex) + ": the module has " +
                                           std::to_string(count) + " programs (0 to " + std::to_string(count - 1) + ")");
        }
        module.setProgram(*options.programIndex);
    }
    if (!options.programFile.empty() && !loadPreset(module, options.programFile, false, error)) {
        return failure(kExitFailure, error);
    }
    module.resume();
    module.startProcess();

    // Where everything falls.
    const pelko::MidiTimeline timeline(sequence, options.sampleRate);
    EventSchedule schedule(placeMessages(sequence, timeline));
    const std::uint64_t musicEnd = std::max(timeline.samplePosition(sequence.endTick), schedule.end());
    const auto tailFrames = static_cast<std::uint64_t>(std::llround(options.tailSeconds * options.sampleRate));
    const std::uint64_t total = musicEnd + tailFrames;

    AudioFileWriter writer;
    if (!writer.open(options.output, *options.format, options.depth, options.sampleRate, total)) {
        return failure(kExitFailure, options.output + ": " + writer.error());
    }
    std::vector<float> left, right;
    std::vector<vst2::VstMidiEvent> events;
    LevelMeter meters[2];
    for (std::uint64_t start = 0; start < total;) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            return failure(kExitFailure, "interrupted; nothing was written");
        }
        const int frames = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(options.blockSize),
                                                                     total - start));
        schedule.blockEvents(start, frames, events);
        {
            std::lock_guard<std::mutex> lock(module.stateMutex());
            module.state().timeInfo = hostTimeInfo(timeline, start, start == 0);
        }
        if (!events.empty()) {
            module.sendMidi(events);
        }
        module.processReplacing(left, right, frames);
        summary.nonFiniteSamples += meters[0].measure(left.data(), frames) + meters[1].measure(right.data(), frames);
        if (!writer.write(left.data(), right.data(), frames)) {
            return failure(kExitFailure, options.output + ": " + writer.error());
        }
        start += static_cast<std::uint64_t>(frames);
        if (progress != nullptr) {
            progress->update(start, total);
        }
    }
    instrument.reset();  // stop and close the module before the file is finished

    if (!writer.commit()) {
        return failure(kExitFailure, writer.error());
    }
    summary.output = options.output;
    summary.frames = total;
    summary.sampleRate = options.sampleRate;
    for (int c = 0; c < 2; ++c) {
        summary.peak[static_cast<std::size_t>(c)] = meters[c].peak;
        summary.rms[static_cast<std::size_t>(c)] =
            total > 0 ? std::sqrt(meters[c].sumSquares / static_cast<double>(total)) : 0.0;
    }
    if (!options.exportMidi.empty() && !pelko::writeFileAtomically(options.exportMidi, pelko::writeMidiFile(sequence))) {
        result.exitCode = kExitFailure;
        result.error = "the sound was written to " + options.output + ", but the MIDI file " + options.exportMidi +
                       " could not be written";
    }
    return result;
}

}  // namespace render
