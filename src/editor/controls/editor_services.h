// What a control may ask of the editor that created it. Controls never see the plug-in or its
// lock: every read and every edit of a parameter or patch object goes through these calls, which
// the editor runs through the plug-in's editor port on the user-interface thread.
//
// Methods added later get a harmless default body, so the controls and the editor can grow at
// their own pace.
#pragma once

#include "editor/skin/skin_resources.h"
#include "editor/toolkit/geometry.h"

#include <functional>
#include <string>
#include <vector>

namespace pelko {

class Container;
class PatchObject;
class PresetDatabase;
class PopupMenu;
class View;

// A named group of choices, for menus with submenus (waves grouped by archive).
struct ChoiceGroup {
    std::string title;                 // empty: the entries sit at the top level
    std::vector<std::string> entries;  // display names, in menu order
    std::vector<int> values;           // the value each entry writes (same length as entries)
};

// A file the user is asked for: the dialog's title, its filter, and the registry value under
// which the dialog remembers the folder.
struct FileChoice {
    const char* title;
    const char* filterDescription;  // e.g. "Envelopes"
    const char* extension;          // e.g. ".env"
    const char* folderValue;        // e.g. "EnvPath"
    bool save;
};

class EditorServices {
public:
    virtual ~EditorServices() = default;

    // The skin attributes of this editor (kind 2 hands a control the editor and its item name).
    virtual SkinAttributes& attributes() = 0;
    // The knob mode shared by all knobs of this editor: 2 is linear (the default).
    virtual int knobMode() const { return 2; }

    // ---- parameters 0–207 -------------------------------------------------------------------------
    virtual float parameterValue(int /*parameter*/) const { return 0.0f; }
    // The value text the plug-in shows for the parameter (empty outside 0–207).
    virtual std::string parameterDisplay(int /*parameter*/) const { return {}; }
    // The parameter's display name (for "hasLabel").
    virtual std::string parameterName(int /*parameter*/) const { return {}; }
    // Whether MIDI learn mode is on, and the MIDI controller (0–127) assigned to a parameter, or
    // -1 when none (value displays show the controller while learning).
    virtual bool learnMode() const { return false; }
    virtual int controllerOfParameter(int /*parameter*/) const { return -1; }

    // ---- patch objects 0–224 ----------------------------------------------------------------------
    // Runs read on the object under the plug-in's lock; false outside 0–224.
    virtual bool readObject(int /*index*/, const std::function<void(const PatchObject&)>& /*read*/) const { return false; }
    // Runs edit on the object under the lock, applies it, and tells every control bound to the
    // object that it changed (kind 0); false outside 0–224.
    virtual bool editObject(int /*index*/, const std::function<void(PatchObject&)>& /*edit*/) { return false; }

    // Asks the user for a file through the file dialog; empty when cancelled or when the editor
    // shows no dialogs.
    virtual std::string chooseFile(const FileChoice& /*choice*/) { return {}; }

    // ---- choices for the menus ---------------------------------------------------------------------
    virtual std::vector<ChoiceGroup> waveChoices() const { return {}; }
    virtual std::vector<ChoiceGroup> filterModeChoices() const { return {}; }
    virtual std::vector<ChoiceGroup> effectTypeChoices() const { return {}; }

    // ---- programs -----------------------------------------------------------------------------------
    virtual int currentProgram() const { return 0; }
    virtual std::vector<std::string> programNames() const { return {}; }
    virtual void selectProgram(int /*index*/) {}

    // ---- bank slots and the preset library (the bank list, the browser, the bank menu) ------------
    // What the bank list's menu does to a slot (0–63).
    enum class SlotCommand { kWrite, kExport, kImport, kImportSysex, kClear, kCopy, kPaste, kLoadBank, kSaveBank,
                             kLoadPreset, kSavePreset };
    virtual void slotCommand(SlotCommand /*command*/, int /*slot*/) {}
    virtual bool programCopied() const { return false; }
    virtual void renameProgram(int /*slot*/, const std::string& /*name*/) {}
    // The preset library (none without one).
    virtual PresetDatabase* presetLibrary() { return nullptr; }
    // Loads a preset into a slot (the current one: the edited program); false after the message.
    virtual bool loadPreset(int /*presetId*/, int /*slot*/) { return false; }
    // Files the slot's program (the edited one for the current slot) under category catId.
    virtual bool fileProgram(int /*slot*/, int /*catId*/) { return false; }
    // The bank files of the presets folder (names without ".fxb", sorted), the loaded bank's
    // name, and loading one of them by name.
    virtual std::vector<std::string> presetBanks() const { return {}; }
    virtual std::string bankName() const { return {}; }
    virtual bool loadPresetBank(const std::string& /*name*/) { return false; }
    // The view gets kind 6 (idle) once at the editor's next idle.
    virtual void requestIdle(View& /*view*/) {}

    // ---- pages and popup panels ---------------------------------------------------------------------
    virtual int currentPage() const { return 13; }
    // Shows page `page` (13 or 14) as the popup panel; `near` is the opening control's rectangle
    // in frame coordinates (the panel is placed beside it, or centred on the frame when empty).
    virtual void showPopupPage(int /*page*/, const Rect& /*near*/) {}
    // Sends kind 4 (rebind, first = base) to the children of page `page` (the assignments panel is
    // rebound to its user control before it is shown).
    virtual void rebindPage(int /*page*/, int /*base*/) {}
    // The control under a tag (first of several), or none.
    virtual View* controlUnderTag(int /*tag*/) const { return nullptr; }
    // Sets every control under a command tag (10000 and above) to the value, as a user would.
    virtual void setCommandValue(int /*tag*/, float /*value*/) {}

    // ---- plug-in switches ---------------------------------------------------------------------------
    virtual bool globalTuning() const { return false; }
    virtual void setGlobalTuning(bool /*on*/) {}

    // ---- information list ---------------------------------------------------------------------------
    struct ArchiveSummary {
        std::string name;
        int waves = 0;
    };
    virtual std::vector<ArchiveSummary> waveArchives() const { return {}; }
    virtual int externalWaves() const { return 0; }
    virtual int presetCount() const { return 0; }

    // ---- oscillator waves (the additive page) -------------------------------------------------------
    // One loop of the wave oscillator (0–5) plays for middle C, in `points` values −1 … 1; empty
    // when the oscillator has no wave.
    virtual std::vector<float> oscillatorWaveform(int /*oscillator*/, int /*points*/) const { return {}; }
};

}  // namespace pelko
