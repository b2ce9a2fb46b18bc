#include "render_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace render {
namespace {

constexpr std::uint32_t kMinRate = 8000;
constexpr std::uint32_t kMaxRate = 384000;
constexpr int kMaxBlock = 8192;
constexpr double kMaxTail = 600.0;

bool parseInteger(const std::string& text, long long& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool parseNumber(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && std::isfinite(value);
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

std::string withoutExtension(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::optional<FileFormat> formatOfExtension(const std::string& path)
{
    std::string name = lower(path);
    auto endsWith = [&](const std::string& suffix) {
        return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(".wav") || endsWith(".wave")) {
        return FileFormat::Wav;
    }
    if (endsWith(".flac")) {
        return FileFormat::Flac;
    }
    return std::nullopt;
}

std::string usageText()
{
    return "usage: pelko-render [options] [FILE.mid]\n"
           "Plays a Standard MIDI File (format 0 or 1) through the Pelko instrument module and writes\n"
           "the sound to a WAV or FLAC file. Without a MIDI file it plays a built-in demo phrase: a\n"
           "chord progression with bass and melody, moving through several programs in turn.\n"
           "\n"
           "Output:\n"
           "  -o, --output FILE    audio file to write (default: the MIDI file's name with .wav in the\n"
           "                       current folder, or pelko-demo.wav); replaced only when complete\n"
           "  --format wav|flac    file format (default: from the output's extension, else wav)\n"
           "  --depth 16|24|float  sample format; float only for WAV (default: 24)\n"
           "  --rate HZ            sample rate, 8000 to 384000 (default: 44100)\n"
           "  --block FRAMES       frames per process call, 1 to 8192 (default: 256)\n"
           "  --tail SECONDS       sound rendered after the last event, 0 to 600 (default: 2)\n"
           "\n"
           "Instrument:\n"
           "  --module PATH        the module to load (default: pelko2.so beside this program or in\n"
           "                       its build tree, else ~/.vst/pelko2.so)\n"
           "  --bank FILE.fxb      load this bank before playing\n"
           "  --program FILE.fxp   load this program into the selected slot (after --bank and --index)\n"
           "  --index N            select program N before playing\n"
           "  --programs LIST      programs the demo phrase plays in turn, comma separated\n"
           "                       (default: 0,1,2,3, or only N when --index N is given)\n"
           "\n"
           "Other:\n"
           "  --export-midi FILE   also store what is played as a MIDI file\n"
           "  -q, --quiet          no progress bar and no summary\n"
           "  -h, --help           show this text\n"
           "\n"
           "Exit status: 0 when the file was written, 1 when rendering failed (nothing is written),\n"
           "2 for a usage error.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    RenderOptions& o = result.options;
    auto usageError = [&](std::string text) {
        result.outcome = CommandLine::Outcome::UsageError;
        result.error = std::move(text);
        return result;
    };
    bool programsGiven = false;
    bool filesEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (filesEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!o.midiFile.empty()) {
                return usageError("only one MIDI file can be played (got '" + o.midiFile + "' and '" + arg + "')");
            }
            o.midiFile = arg;
            continue;
        }
        if (arg == "--") {
            filesEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            result.outcome = CommandLine::Outcome::Help;
            return result;
        }
        if (arg == "-q" || arg == "--quiet") {
            o.quiet = true;
            continue;
        }
        // Every other option takes a value, given as the next argument or after '='.
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (std::size_t eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        static const char* const kValued[] = {"-o",     "--output", "--format", "--depth", "--rate",
                                              "--block", "--tail",  "--module", "--bank",  "--program",
                                              "--index", "--programs", "--export-midi"};
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
            return usageError("unknown option '" + arg + "'");
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                return usageError("option '" + name + "' needs a value");
            }
            value = arguments[++i];
        }
        long long integer = 0;
        double number = 0.0;
        if (name == "-o" || name == "--output") {
            o.output = value;
        } else if (name == "--format") {
            std::string v = lower(value);
            if (v == "wav") {
                o.format = FileFormat::Wav;
            } else if (v == "flac") {
                o.format = FileFormat::Flac;
            } else {
                return usageError("--format must be wav or flac, not '" + value + "'");
            }
        } else if (name == "--depth") {
            if (value == "16") {
                o.depth = SampleDepth::Int16;
            } else if (value == "24") {
                o.depth = SampleDepth::Int24;
            } else if (lower(value) == "float" || value == "32") {
                o.depth = SampleDepth::Float32;
            } else {
                return usageError("--depth must be 16, 24 or float, not '" + value + "'");
            }
        } else if (name == "--rate") {
            if (!parseInteger(value, integer) || integer < kMinRate || integer > kMaxRate) {
                return usageError("--rate must be a whole number of Hz from 8000 to 384000, not '" + value + "'");
            }
            o.sampleRate = static_cast<std::uint32_t>(integer);
        } else if (name == "--block") {
            if (!parseInteger(value, integer) || integer < 1 || integer > kMaxBlock) {
                return usageError("--block must be from 1 to 8192 frames, not '" + value + "'");
            }
            o.blockSize = static_cast<int>(integer);
        } else if (name == "--tail") {
            if (!parseNumber(value, number) || number < 0.0 || number > kMaxTail) {
                return usageError("--tail must be from 0 to 600 seconds, not '" + value + "'");
            }
            o.tailSeconds = number;
        } else if (name == "--module") {
            o.modulePath = value;
        } else if (name == "--bank") {
            o.bankFile = value;
        } else if (name == "--program") {
            o.programFile = value;
        } else if (name == "--index") {
            if (!parseInteger(value, integer) || integer < 0 || integer > 127) {
                return usageError("--index must be a program number from 0, not '" + value + "'");
            }
            o.programIndex = static_cast<int>(integer);
        } else if (name == "--programs") {
            programsGiven = true;
            o.demoPrograms.clear();
            std::size_t start = 0;
            while (start <= value.size()) {
                std::size_t comma = value.find(',', start);
                std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (!parseInteger(item, integer) || integer < 0 || integer > 127) {
                    return usageError("--programs must list program numbers from 0 to 127, not '" + value + "'");
                }
                o.demoPrograms.push_back(static_cast<int>(integer));
                if (comma == std::string::npos) {
                    break;
                }
                start = comma + 1;
            }
        } else if (name == "--export-midi") {
            o.exportMidi = value;
        }
    }

    if (!o.bankFile.empty() && o.bankFile == o.programFile) {
        return usageError("--bank and --program name the same file");
    }
    if (programsGiven && !o.midiFile.empty()) {
        return usageError("--programs applies to the demo phrase only; the MIDI file's own program changes are played");
    }
    if (!programsGiven) {
        o.demoPrograms = o.programIndex ? std::vector<int>{*o.programIndex} : std::vector<int>{0, 1, 2, 3};
    }
    if (o.output.empty()) {
        o.output = o.midiFile.empty() ? "pelko-demo.wav"
                                      : withoutExtension(o.midiFile) + (o.format == FileFormat::Flac ? ".flac" : ".wav");
    }
    if (!o.format) {
        o.format = formatOfExtension(o.output).value_or(FileFormat::Wav);
    }
    if (*o.format == FileFormat::Flac && o.depth == SampleDepth::Float32) {
        return usageError("FLAC stores 16 or 24 bit samples; use --depth 16 or 24, or write WAV for float");
    }
    if (!o.midiFile.empty() && o.output == o.midiFile) {
        return usageError("the output would replace the MIDI file '" + o.midiFile + "'");
    }
    return result;
}

}  // namespace render
