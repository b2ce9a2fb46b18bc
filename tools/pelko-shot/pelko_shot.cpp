// pelko-shot: pictures of the editor's pages without a host or an X server. The module is loaded
// with dlopen and driven only through its descriptor, as a host drives it; the editor is opened
// with no parent window (a headless frame) and asked for each page's picture through the
// module's private vendor-specific call.
#include "host_module.h"
#include "plugin/plugin_editor.h"
#include "preset_file.h"
#include "render_session.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kPageNames[18] = {
    "BankPage", "Osc1Page", "Osc2Page", "Osc3Page", "Osc4Page", "Osc5Page",
    "Osc6Page", "Flt1Page", "Flt2Page", "AdditivePage", "SeqPage", "FxPage",
    "InfoPage", "CMPage", "UserAssignmentsPage", "GlobalPage", "TabsPage", "StandalonePage",
};

void printHelp()
{
    std::puts(
        "usage: pelko-shot [options] OUTPUT\n"
        "\n"
        "Loads the plug-in module as a host does, selects a program, opens its editor without a\n"
        "window or X server and writes pictures of its pages as PNG files.\n"
        "\n"
        "OUTPUT is the PNG file for one page (--page), or, for all pages, a prefix: page N is\n"
        "written to OUTPUT-NN-PageName.png (for example shots/pelko-00-BankPage.png).\n"
        "\n"
        "options:\n"
        "  --module FILE        the module to load (default: pelko2.so beside this program, in its\n"
        "                       build tree, or in ~/.vst)\n"
        "  --bank FILE.fxb      load this bank first\n"
        "  --program FILE.fxp   load this program into the current slot\n"
        "  --index N            select program N (0-63) of the bank\n"
        "  --factory NAME       select the program of this name (from the bank, or from the factory\n"
        "                       bank of the module's install folder when the bank has none)\n"
        "  --page N|NAME|all    the page to draw: 0-17 or its name (BankPage ... StandalonePage);\n"
        "                       all (the default) writes all 18\n"
        "  --scale 1|2          draw at 1x (the default) or 2x: at 2x every picture has twice the\n"
        "                       pixels in each direction, with the skin's 2x/ artwork where it has\n"
        "                       it (the 1x bitmap scaled up where not)\n"
        "  --help               this text\n"
        "\n"
        "Each picture shows the page with the three permanent pages (GlobalPage, TabsPage,\n"
        "StandalonePage) over it, as the editor shows it. Pages 13 (CMPage) and 14\n"
        "(UserAssignmentsPage) are popup panels: drawn over the bank page, centred.\n"
        "\n"
        "exit status: 0 when every picture was written, 1 on failure, 2 for a usage error.");
}

int usage(const std::string& message)
{
    std::fprintf(stderr, "pelko-shot: %s (see --help)\n", message.c_str());
    return 2;
}

int failure(const std::string& message)
{
    std::fprintf(stderr, "pelko-shot: %s\n", message.c_str());
    return 1;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool loadPresetFile(host::HostModule& module, const std::string& path, bool bank, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readFile(path, bytes)) {
        error = path + ": cannot be read";
        return false;
    }
    std::string why;
    std::optional<render::PresetChunk> preset = render::readPresetChunk(bytes, bank, why);
    if (!preset) {
        error = path + ": " + why;
        return false;
    }
    if (preset->pluginId != module.effect()->uniqueID) {
        error = path + ": saved by another plug-in ('" + render::fourCharacterText(preset->pluginId) + "')";
        return false;
    }
    if (!module.setChunk(!bank, preset->chunk)) {
        error = path + ": the module did not accept it";
        return false;
    }
    return true;
}

int findProgram(host::HostModule& module, const std::string& name)
{
    for (int i = 0; i < 64; ++i) {
        if (module.programNameIndexed(i).value_or("") == name) {
            return i;
        }
    }
    return -1;
}

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool parseNumber(const std::string& text, int low, int high, int& value)
{
    char* end = nullptr;
    long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < low || n > high) {
        return false;
    }
    value = static_cast<int>(n);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string modulePath, bankFile, programFile, factoryName, output;
    int index = -1;
    int page = -1;  // all
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 0;
        }
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--module") {
            if (!value(modulePath)) return usage("--module needs a file");
        } else if (arg == "--bank") {
            if (!value(bankFile)) return usage("--bank needs a file");
        } else if (arg == "--program") {
            if (!value(programFile)) return usage("--program needs a file");
        } else if (arg == "--factory") {
            if (!value(factoryName)) return usage("--factory needs a program name");
        } else if (arg == "--index") {
            if (!value(text) || !parseNumber(text, 0, 63, index)) return usage("--index needs a number from 0 to 63");
        } else if (arg == "--scale") {
            if (!value(text) || !parseNumber(text, 1, 2, scale)) return usage("--scale needs 1 or 2");
        } else if (arg == "--page") {
            if (!value(text)) return usage("--page needs a page");
            if (text == "all") {
                page = -1;
            } else if (!parseNumber(text, 0, 17, page)) {
                page = -2;
                for (int p = 0; p < 18; ++p) {
                    if (text == kPageNames[p]) {
                        page = p;
                    }
                }
                if (page == -2) return usage("unknown page '" + text + "'");
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option " + arg);
        } else if (output.empty()) {
            output = arg;
        } else {
            return usage("more than one OUTPUT");
        }
    }
    if (output.empty()) {
        return usage("no OUTPUT given");
    }

    if (modulePath.empty()) {
        char self[PATH_MAX] = {};
        ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        std::vector<std::string> tried;
        modulePath = render::findDefaultModule(n > 0 ? std::string(self, static_cast<std::size_t>(n)) : argv[0], tried);
        if (modulePath.empty()) {
            return failure("no module found; give one with --module");
        }
    }
    host::HostModule module;
    if (!module.load(modulePath)) {
        return failure(module.error());
    }
    if (module.instantiate() == nullptr) {
        return failure("the module made no plug-in: " + module.error());
    }
    module.open();
    if ((module.effect()->flags & vst2::effFlagsHasEditor) == 0) {
        return failure("the module has no editor");
    }

    std::string error;
    if (!bankFile.empty() && !loadPresetFile(module, bankFile, true, error)) {
        return failure(error);
    }
    if (index >= 0) {
        module.setProgram(index);
    }
    if (!programFile.empty() && !loadPresetFile(module, programFile, false, error)) {
        return failure(error);
    }
    if (!factoryName.empty()) {
        int found = findProgram(module, factoryName);
        if (found < 0 && bankFile.empty()) {
            std::string factoryBank = folderOf(modulePath) + "pelko2/presets/Factory.fxb";
            if (!loadPresetFile(module, factoryBank, true, error)) {
                return failure(error);
            }
            found = findProgram(module, factoryName);
        }
        if (found < 0) {
            return failure("no program named '" + factoryName + "'");
        }
        module.setProgram(found);
    }

    // The scale is fixed for the opening, whatever the settings of the user say.
    module.vendorSpecific(pelko::kEditorScaleCall, scale, nullptr, 0.0f);
    if (!module.editOpen(nullptr)) {
        return failure("the editor could not be opened");
    }
    module.editIdle();
    int written = 0;
    for (int p = 0; p < 18; ++p) {
        if (page >= 0 && p != page) {
            continue;
        }
        std::string path = output;
        if (page < 0) {
            char suffix[64];
            std::snprintf(suffix, sizeof suffix, "-%02d-%s.png", p, kPageNames[p]);
            path += suffix;
        }
        if (module.vendorSpecific(pelko::kRenderPageCall, p, path.data(), 0.0f) != 1) {
            module.editClose();
            return failure(path + ": the picture could not be written");
        }
        std::printf("%s\n", path.c_str());
        ++written;
    }
    module.editClose();
    return written > 0 ? 0 : 1;
}
