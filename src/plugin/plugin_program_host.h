// The plug-in as the text-program, side-file and system-exclusive commands see it: reads go to
// its edit buffer and bank, changes go through the plug-in so that each takes the processing lock
// and runs the engine update that belongs to it.
#pragma once

#include "storage/program_host.h"

namespace pelko {

class SynthPlugin;

class PluginProgramHost final : public ProgramHost {
public:
    explicit PluginProgramHost(SynthPlugin& plugin) : plugin_(plugin) {}

    const Program& editBuffer() const override;
    const ProgramBank& bank() const override;
    int currentProgram() const override;
    std::optional<std::string> installFolder() const override;
    void setParameter(int index, float value) override;
    void storePatchObject(int index, const PatchObject& source) override;
    void applyPatchObject(int index) override;
    void storeProgram(int slot, const Program& program) override;
    void selectProgram(int slot) override;

private:
    SynthPlugin& plugin_;
};

}  // namespace pelko
