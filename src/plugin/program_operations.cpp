// What changes bank slots and program names: the host's and the editor's program commands, the
// clipboard, the preset library, and the commands that store programs and objects.
#include "plugin/synth_plugin.h"

#include "audio/controller_map.h"
#include "library/preset_programs.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"

namespace pelko {

template <class Fn>
void SynthPlugin::changeBankSlot(int slot, Fn&& fn)
{
    // The slot may share its program with other banks, which must not see the change; the copy
    // also keeps the allocation out of the processing lock.
    auto changed = std::make_shared<Program>(bank_.program(slot));
    std::shared_ptr<const Program> replaced;
    {
        LockGuard lock(processLock_);
        fn(*changed);
        replaced = bank_.replaceProgram(slot, std::move(changed));
    }
}

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
    return std::string(bank_.program(index).name());
}

bool SynthPlugin::copyEditBufferTo(int index)
{
    if (index < 0 || index >= kProgramCount) {
        return false;
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        changeBankSlot(index, [this](Program& slot) { slot = editBuffer_; });
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
        changeBankSlot(index, [&](Program& slot) {
            slot.setName(name);
            if (index == currentProgram_) {
                editBuffer_.setName(name);
            }
        });
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
    *clipboardProgram_ = index == currentProgram_ ? editBuffer_ : bank_.program(index);
}

void SynthPlugin::pasteProgram(int index)
{
    if (!clipboardProgram_ || index < 0 || index >= kProgramCount) {
        return;
    }
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        changeBankSlot(index, [this](Program& slot) { slot = *clipboardProgram_; });
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
        changeBankSlot(slot, [&program](Program& stored) { stored = program; });
    }
    markBankChanged();
}

void SynthPlugin::initialiseProgram(int index, bool toDefaults)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    auto fresh = std::make_shared<Program>();
    if (!toDefaults && installFolder_) {
        // A missing or invalid default patch leaves the slot with the default program.
        Program fromFile;
        if (loadProgramFile(*installFolder_ + "presets/" + "default.fxp", fromFile).ok) {
            fresh->swap(fromFile);
        }
    }
    std::shared_ptr<const Program> replaced;
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        replaced = bank_.replaceProgram(index, std::move(fresh));
    }
    replaced.reset();  // off the lock
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
        auto setCategory = [catId](Program& program) {
            if (catId != -1) {
                program.objectAs<IntegerObject>(object::kPresetCategory).setValue(catId);
            }
        };
        if (slot == currentProgram_) {
            LockGuard lock(processLock_);
            setCategory(editBuffer_);
            filed.emplace(editBuffer_);
        } else {
            if (catId != -1) {
                changeBankSlot(slot, setCategory);
            }
            // No other thread changes the bank while bankLock_ is held.
            filed.emplace(bank_.program(slot));
        }
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
