// content-sidefiles INSTALL_FOLDER: writes the LFO envelopes of the FM bulk-dump import into
// INSTALL_FOLDER/Envelope Settings/DX7 and its effect settings into INSTALL_FOLDER/Effects
// Settings, and the example side files the load commands offer into their folders, through the
// side-file writers. Files are replaced atomically; the output is the same on every run.
#include "example_content.h"
#include "fm_import_content.h"

#include "platform/file_system.h"
#include "storage/sysex_import.h"

#include <iostream>
#include <string>

namespace {

bool write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    if (!pelko::writeFileAtomically(path, bytes)) {
        std::cerr << "content-sidefiles: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: content-sidefiles INSTALL_FOLDER\n";
        return 2;
    }
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    const std::string envelopes = folder + "Envelope Settings/";
    const std::string effects = folder + "Effects Settings/";
    if (!pelko::makeFolders(envelopes + "DX7") || !pelko::makeFolders(effects)) {
        std::cerr << "content-sidefiles: cannot create the folders in " << folder << "\n";
        return 1;
    }
    bool ok = true;
    for (int wave = 0; wave < 6; ++wave) {
        const auto envelope = content_sidefiles::lfoEnvelope(wave);
        ok = write(envelopes + std::string(pelko::lfoEnvelopeFileName(wave)),
                   pelko::objectFileBytes(pelko::kEnvelopeFileMagic, envelope)) && ok;
    }
    for (int slot = 0; slot < 2; ++slot) {
        const auto effect = content_sidefiles::fmEffect(slot);
        ok = write(effects + std::string(pelko::fmEffectFileName(slot)), pelko::effectFileBytes(effect.type, effect.values)) &&
             ok;
    }
    for (const auto& example : content_sidefiles::exampleFiles()) {
        const std::string path = folder + example.path;
        ok = (pelko::makeFolders(pelko::folderPart(path)) && write(path, example.bytes)) && ok;
    }
    return ok ? 0 : 1;
}
