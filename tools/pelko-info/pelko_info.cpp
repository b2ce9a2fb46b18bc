// Loads a module the way a host does and prints what it tells a host: its descriptor, its names,
// its capabilities, its programs and every parameter with its value, display text and label.
#include "host_module.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string fourCharacters(vst2::VstInt32 code)
{
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>((static_cast<std::uint32_t>(code) >> (24 - 8 * i)) & 0xFF);
        text[static_cast<std::size_t>(i)] = (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

void usage()
{
    std::printf("usage: pelko-info MODULE.so\n"
                "Loads the VST 2 module through the host interface and prints its descriptor,\n"
                "program names and parameters.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        usage();
        return argc == 2 ? 0 : 2;
    }
    host::HostModule module;
    if (!module.load(argv[1])) {
        std::fprintf(stderr, "pelko-info: %s\n", module.error().c_str());
        return 1;
    }
    vst2::AEffect* effect = module.instantiate();
    if (effect == nullptr) {
        std::fprintf(stderr, "pelko-info: %s: %s\n", argv[1], module.error().c_str());
        return 1;
    }
    module.open();
    module.setSampleRate(44100.0f);
    module.setBlockSize(512);
    module.resume();

    std::printf("Module        %s\n", argv[1]);
    std::printf("Effect name   %s\n", module.effectName().c_str());
    std::printf("Product       %s\n", module.productString().c_str());
    std::printf("Vendor        %s (version %ld)\n", module.vendorString().c_str(),
                static_cast<long>(module.vendorVersion()));
    std::printf("Unique id     '%s'  version %d  interface %ld\n", fourCharacters(effect->uniqueID).c_str(),
                effect->version, static_cast<long>(module.vstVersion()));
    std::printf("Category      %ld%s\n", static_cast<long>(module.plugCategory()),
                module.plugCategory() == vst2::kPlugCategSynth ? " (instrument)" : "");
    std::printf("I/O           %d inputs, %d outputs\n", effect->numInputs, effect->numOutputs);
    std::printf("Flags         0x%x:%s%s%s%s\n", effect->flags,
                (effect->flags & vst2::effFlagsHasEditor) ? " editor" : "",
                (effect->flags & vst2::effFlagsCanReplacing) ? " replacing" : "",
                (effect->flags & vst2::effFlagsProgramChunks) ? " chunks" : "",
                (effect->flags & vst2::effFlagsIsSynth) ? " synth" : "");
    for (int pin = 0; pin < effect->numOutputs; ++pin) {
        if (auto properties = module.outputProperties(pin)) {
            std::printf("Output %d      %s%s\n", pin + 1, properties->label,
                        (properties->flags & vst2::kVstPinIsStereo) ? " (stereo)" : "");
        }
    }
    std::printf("Can do       ");
    for (const char* what : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent",
                             "receiveVstTimeInfo", "sendVstTimeInfo", "conformsToWindowRules"}) {
        std::printf(" %s=%ld", what, static_cast<long>(module.canDo(what)));
    }
    std::printf("\n\nPrograms (%d), current %d \"%s\"\n", effect->numPrograms, module.getProgram(),
                module.getProgramName().c_str());
    for (int p = 0; p < effect->numPrograms; ++p) {
        std::printf("  %2d %-24s%s", p, module.programNameIndexed(p).value_or("?").c_str(), p % 4 == 3 ? "\n" : "");
    }
    std::printf("\nParameters (%d)\n", effect->numParams);
    std::printf("  %-4s %-20s %-10s %-10s %s\n", "#", "name", "value", "display", "label");
    for (int i = 0; i < effect->numParams; ++i) {
        std::printf("  %-4d %-20s %-10.6f %-10s '%s'\n", i, module.paramName(i).c_str(), module.getParameter(i),
                    module.paramDisplay(i).c_str(), module.paramLabel(i).c_str());
    }
    module.suspend();
    module.closeInstance();
    return 0;
}
