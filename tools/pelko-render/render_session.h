// One render: reads the MIDI file (or builds the demo phrase), loads the module through the host
// harness, hands it the presets, plays the events block by block with host time info, and writes
// the sound. Nothing is written unless the whole render succeeds.
#pragma once

#include "render_options.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace render {

enum ExitCode { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

struct RenderSummary {
    std::string output;
    std::string modulePath;
    std::string instrument;        // the module's effect name
    std::uint64_t frames = 0;
    std::uint32_t sampleRate = 0;
    std::array<double, 2> peak{};  // largest magnitude per channel (1.0 = full scale)
    std::array<double, 2> rms{};
    std::uint64_t nonFiniteSamples = 0;  // written as 0
    std::vector<std::string> notes;      // warnings about the input, for the user
};

struct RenderResult {
    int exitCode = kExitSuccess;
    std::string error;  // for a non-zero exit code
    RenderSummary summary;
};

class RenderProgress {
public:
    virtual ~RenderProgress() = default;
    virtual void update(std::uint64_t framesDone, std::uint64_t framesTotal) = 0;
};

// executablePath locates the default module; cancel (optional) stops the render between blocks.
RenderResult renderToFile(const RenderOptions& options, const std::string& executablePath,
                          RenderProgress* progress = nullptr, const std::atomic<bool>* cancel = nullptr);

// The module used when none is named: pelko2.so beside the executable, in the build tree that
// holds it (two folders up) or in ~/.vst. Returns "" when none exists; `tried` lists the places.
std::string findDefaultModule(const std::string& executablePath, std::vector<std::string>& tried);

// Level in dBFS ("-inf" for silence), one decimal.
std::string decibelText(double linear);

}  // namespace render
