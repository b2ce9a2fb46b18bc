// The editor's one door into the plug-in. Reads go through a scoped lock (a Reading holds the
// processing lock while it lives: keep it short, never across a dialog); parameter changes from
// the user are bracketed by gestures so the host groups its automation; patch objects are edited
// by a function run under the lock, followed by the object's apply step; and what changed
// elsewhere (host automation, MIDI, program changes, chunks, tempo) is drained from the change
// queue at the editor's idle.
//
// Every call here is for the user-interface thread.
#pragma once

#include "plugin/synth_plugin.h"

#include <optional>
#include <string>

namespace pelko {

class EditorPort {
public:
    explicit EditorPort(SynthPlugin& plugin) : plugin_(plugin) {}

    class Reading {
    public:
        float value(int parameter) const { return plugin_.getParameter(parameter); }
        // The parameter's display text; empty outside 0–207.
        std::string displayText(int parameter) const;
        // Patch object k (0–224) of the edited program.
        const PatchObject& object(int index) const { return plugin_.editBuffer().object(index); }
        const Program& program() const { return plugin_.editBuffer(); }
        int currentProgram() const { return plugin_.currentProgram(); }
        // The wave oscillator k (0–5) plays, shared so that it outlives the lock; none outside 0–5.
        std::shared_ptr<const Wave> wave(int oscillator) const
        {
            return oscillator >= 0 && oscillator < kProgramOscillators ? plugin_.waveSlot(oscillator).shared() : nullptr;
        }

    private:
        friend class EditorPort;
        explicit Reading(const SynthPlugin& plugin) : lock_(plugin.processLock()), plugin_(plugin) {}

        LockGuard lock_;
        const SynthPlugin& plugin_;
    };

    Reading read() const { return Reading(plugin_); }

    // A user gesture on a parameter: begin, any number of sets, end. Each set goes out as host
    // automation (or as a MIDI controller when MIDI out is on).
    void beginGesture(int parameter);
    void setParameter(int parameter, float value) { plugin_.setParameterAutomated(parameter, value); }
    void endGesture(int parameter);

    // The parameter's display name ("Main Level"); none outside 0–207.
    std::optional<std::string> parameterDisplayName(int index) const;
    // The value plus or minus the row's step, set as a user edit only when it stays within 0–1.
    void incrementParameter(int index);
    void decrementParameter(int index);
    // False for indices outside 0–207; otherwise true, with discrete set for coarse/fine tune rows
    // and as the effect answers for rows 167–178.
    bool parameterIsDiscrete(int index, bool& discrete) const;

    // Runs edit(object) on patch object k under the processing lock, then the object's apply step
    // (waves are built outside the lock). False, with nothing run, outside 0–224.
    template <class Edit>
    bool editObject(int index, Edit&& edit)
    {
        if (index < 0 || index >= kPatchObjectCount) {
            return false;
        }
        {
            LockGuard lock(plugin_.processLock());
            edit(plugin_.editBuffer().object(index));
        }
        plugin_.applyPatchObject(index);
        return true;
    }

    // ---- bank slots and the preset library (slots 0–63; others do nothing and give false) ----
    // Each runs under the plug-in's bank and processing locks for as long as it changes the bank
    // or the edit buffer; none holds them across a dialog or a library question.
    bool renameProgram(int slot, std::string_view name);
    bool copyProgram(int slot);
    bool pasteProgram(int slot);
    bool programCopied() const { return plugin_.clipboardPresent(); }
    // The slot gets the default patch (or the default program when there is none).
    bool clearProgram(int slot);
    // The edited program goes into the slot, which is then selected.
    bool writeProgram(int slot);
    bool loadPreset(int presetId, int slot) { return plugin_.loadPresetFromLibrary(presetId, slot); }
    bool fileProgram(int slot, int catId) { return plugin_.storePresetInLibrary(slot, catId); }
    PresetDatabase& presetLibrary() { return plugin_.presetLibrary(); }
    bool loadBankFile(const std::string& path) { return plugin_.loadBankFromFile(path); }
    bool saveBankFile(const std::string& path) { return plugin_.saveBankToFile(path); }
    bool loadProgramFile(const std::string& path, int slot) { return plugin_.loadProgramFromFile(path, slot); }
    bool saveProgramFile(const std::string& path) { return plugin_.saveProgramToFile(path); }
    std::string bankName() const { return plugin_.bankName(); }

    // What changed since the last drain (see ChangeQueue::drain for the visitor).
    template <class Visitor>
    bool drainChanges(Visitor&& visitor)
    {
        return plugin_.changes().drain(visitor);
    }

private:
    SynthPlugin& plugin_;
};

}  // namespace pelko
