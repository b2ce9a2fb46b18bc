// Example side files for the install folder, one small set per load command: sequencer settings,
// amplitude envelopes, effect settings and additive settings. Each is cut from a program built with
// the factory recipe helpers, so it holds exactly what a user's "save" of that part would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content_sidefiles {

struct ExampleFile {
    std::string path;  // relative to the install folder
    std::vector<std::uint8_t> bytes;
};

std::vector<ExampleFile> exampleFiles();

}  // namespace content_sidefiles
