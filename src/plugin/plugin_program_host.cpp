#include "plugin/plugin_program_host.h"

#include "plugin/synth_plugin.h"

namespace pelko {

const Program& PluginProgramHost::editBuffer() const { return plugin_.editBuffer(); }

const ProgramBank& PluginProgramHost::bank() const { return plugin_.bank(); }

int PluginProgramHost::currentProgram() const { return plugin_.currentProgram(); }

std::optional<std::string> PluginProgramHost::installFolder() const { return plugin_.installFolder(); }

void PluginProgramHost::setParameter(int index, float value) { plugin_.setParameter(index, value); }

void PluginProgramHost::storePatchObject(int index, const PatchObject& source) { plugin_.storePatchObject(index, source); }

void PluginProgramHost::applyPatchObject(int index) { plugin_.applyPatchObject(index); }

void PluginProgramHost::storeProgram(int slot, const Program& program) { plugin_.storeProgram(slot, program); }

void PluginProgramHost::selectProgram(int slot) { plugin_.selectProgram(slot); }

}  // namespace pelko
