// What changes bank slots and program names: the host's and the editor's program commands, the
// clipboard, the preset library, and the commands that store programs and objects.
#include "plugin/synth_plugin.h"

#include "audio/controller_map.h"
#include "library/preset_programs.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"

namespace pelko {

std::string SynthPlugin::programName() const
{
    LockGuard lock(processLock_);
    return std::string(editBuffer_.name());
}

void SynthPlugin::setProgramName(std::string_view name)
{
    {
        LockGuard lock(processLock_);
        editBuffer_.setName(name.substr(0, kProgramNameLength));
    }
    changes_.markProgramName();
    tellHostDisplayChanged();
}

std::optional<std::string> SynthPlugin::programNameAt(int index) const
{
    if (index < 0 || index >= kProgramCount) {
        return std::nullopt;
    }
    LockGuard lock(processLock_);
    return std::string(bank_.programs[static_cast<std::size_t>(index)].name());
}

bool SynthPlugin::copyEditBufferTo(int index)
{
    if (index < 0 || index >= kProgramCount) {
        return false;
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(index)] = editBuffer_;
    }
    markBankChanged();
    return true;
}

void SynthPlugin::renameProgram(int index, std::string_view name)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(index)].setName(name);
        if (index == currentProgram_) {
            editBuffer_.setName(name);
        }
    }
    changes_.markBank();
    if (index == currentProgram_) {
        changes_.markProgramName();
    }
    tellHostDisplayChanged();
}

void SynthPlugin::copyProgram(int index)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    if (!clipboardProgram_) {
        clipboardProgram_ = std::make_unique<Program>();
    }
    LockGuard lock(processLock_);
    *clipboardProgram_ = index == currentProgram_ ? editBuffer_ : bank_.programs[static_cast<std::size_t>(index)];
}

void SynthPlugin::pasteProgram(int index)
{
    if (!clipboardProgram_ || index < 0 || index >= kProgramCount) {
        return;
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(index)] = *clipboardProgram_;
    }
    markBankChanged();
    if (index == currentProgram_) {
        selectProgram(index);
    }
}

void SynthPlugin::storePatchObject(int index, const PatchObject& source)
{
    if (index < 0 || index >= kPatchObjectCount) {
        return;
    }
    {
        LockGuard lock(processLock_);
        editBuffer_.object(index).copyFrom(source);
    }
    changes_.markObject(index);
}

void SynthPlugin::storeProgram(int slot, const Program& program)
{
    if (slot < 0 || slot >= kProgramCount) {
        return;
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(slot)] = program;
    }
    markBankChanged();
}

void SynthPlugin::initialiseProgram(int index, bool toDefaults)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    Program fresh;
    if (!toDefaults && installFolder_) {
        // A missing or invalid default patch leaves the slot with the default program.
        Program fromFile;
        if (loadProgramFile(*installFolder_ + "presets/" + "default.fxp", fromFile).ok) {
            fresh.swap(fromFile);
        }
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(index)].swap(fresh);
    }
    markBankChanged();
}

bool SynthPlugin::loadPresetFromLibrary(int presetId, int slot)
{
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    const std::unique_ptr<Program> loaded = loadProgramFromLibrary(presetLibrary_, presetId);
    if (!loaded) {
        return false;
    }
    storeProgram(slot, *loaded);
    if (slot == currentProgram_) {
        selectProgram(slot);
    }
    return true;
}

bool SynthPlugin::storePresetInLibrary(int slot, int catId, int* newId)
{
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    // The library may ask a question; the processing lock is held only while the program is
    // copied, never while a dialog is open.
    std::optional<Program> filed;
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        Program& source = slot == currentProgram_ ? editBuffer_ : bank_.programs[static_cast<std::size_t>(slot)];
        if (catId != -1) {
            source.objectAs<IntegerObject>(object::kPresetCategory).setValue(catId);
        }
        filed.emplace(source);
    }
    if (catId != -1) {
        changes_.markObject(object::kPresetCategory);
    }
    return storeProgramInLibrary(presetLibrary_, catId, *filed, newId);
}

void SynthPlugin::setLearnTarget(int parameter)
{
    learnTarget_ = parameter >= 0 && parameter < kParameterCount ? parameter : kNoLearnTarget;
}

std::string SynthPlugin::controllerText(int parameter) const
{
    if (parameter == learnTarget_) {
        return "???";
    }
    return controllerAssignmentText(parameter);
}

}  // namespace pelko
