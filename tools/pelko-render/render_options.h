// The command line of pelko-render: what to play, through which module and presets, and how to
// write the sound.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace render {

enum class FileFormat { Wav, Flac };
enum class SampleDepth { Int16, Int24, Float32 };

struct RenderOptions {
    std::string midiFile;                // empty: the built-in demo phrase
    std::string output;                  // the audio file to write
    std::optional<FileFormat> format;    // none: from the output's extension
    SampleDepth depth = SampleDepth::Int24;
    std::string modulePath;              // empty: found relative to the executable
    std::string bankFile;                // ".fxb" handed to the module as a bank chunk
    std::string programFile;             // ".fxp" handed to the module as a program chunk
    std::optional<int> programIndex;     // selected before playing
    std::vector<int> demoPrograms;       // programs the demo phrase plays in turn
    std::uint32_t sampleRate = 44100;    // Hz
    int blockSize = 256;                 // frames per process call
    double tailSeconds = 2.0;            // rendered after the last event
    std::string exportMidi;              // also store the phrase played as a MIDI file
    bool quiet = false;                  // no progress bar and no summary
};

struct CommandLine {
    enum class Outcome { Run, Help, UsageError } outcome = Outcome::Run;
    RenderOptions options;
    std::string error;  // for UsageError
};

// Reads the arguments (without the program name).
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();

// The format an output name asks for by its extension (".wav", ".flac", any case).
std::optional<FileFormat> formatOfExtension(const std::string& path);

}  // namespace render
