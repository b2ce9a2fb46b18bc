// What the editor does with a user's edit: parameters go to the plug-in as automation (with the
// learn and assignment modes on the way), command tags run their command, and parameters that a
// command control mirrors keep that control in step.
#include "editor/core/editor.h"

#include "audio/controller_map.h"
#include "editor/controls/numeric_displays.h"
#include "editor/controls/page_selector.h"
#include "editor/core/side_file_dialogs.h"
#include "editor/core/storage_dialogs.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/user_controls_assignment.h"
#include "platform/debug_output.h"
#include "platform/messages.h"
#include "platform/user_interface.h"

#include <cmath>
#include <utility>

namespace pelko {
namespace {

namespace command {
constexpr int kPageSelector = 10000;
constexpr int kMidiOut = 10023;
constexpr int kLearnMode = 10024;
constexpr int kAssignmentMode = 10025;
constexpr int kFirstSeqStep = 10026;  // … 10041: sequencer length buttons 1–16
constexpr int kLastSeqStep = 10041;
constexpr int kLoadSequencer = 10042;
constexpr int kSaveSequencer = 10043;
constexpr int kSwapEffects = 10064;
constexpr int kLoadEffect1 = 10065;
constexpr int kLoadEffect2 = 10066;
constexpr int kSaveEffect1 = 10067;
constexpr int kSaveEffect2 = 10068;
constexpr int kEffect1Sync = 10069;
constexpr int kEffect2Sync = 10070;
constexpr int kPitchPanelCancel = 10071;
constexpr int kPitchPanelOk = 10072;
constexpr int kPitchRatioMode = 10073;
constexpr int kPitchFixedMode = 10074;
constexpr int kPitchFrequency = 10076;
constexpr int kLoadAdditive = 10077;
constexpr int kSaveAdditive = 10078;
constexpr int kAdditiveFromWav = 10079;
constexpr int kFirstAdditiveOscillator = 10082;  // … 10087
constexpr int kLastAdditiveOscillator = 10087;
constexpr int kKeyboardWindow = 10142;
constexpr int kAssignmentsCancel = 10140;
constexpr int kAssignmentsApply = 10141;
constexpr int kWebPage = 10144;
}  // namespace command

// Lamp 10 of the page selector is the sequencer's.
constexpr int kSequencerLamp = 10;
constexpr int kFirstAdditiveObject = 184;
// The range a new user-control assignment gets: from the value the parameter was moved to up to
// this value.
constexpr float kAssignmentHigh = 1.0f;
constexpr const char* kWebAddress = "https://pelko.example.org/";

bool released(float value) { return value == 0.0f; }

}  // namespace

void Editor::beginEdit(int tag) { port_.beginGesture(tag); }
void Editor::endEdit(int tag) { port_.endGesture(tag); }

void Editor::setParameterFromEditor(int index, float value)
{
    port_.setParameter(index, value);
    // The other controls under the tag follow at once, not only at the next idle.
    setParameter(index, value);
}

void Editor::valueChanged(DrawContext* context, Control& control)
{
    const int tag = control.tag();
    const float value = control.value();
    const bool userControl = tag >= param::kUserSlider && tag < param::kUserSlider + UserControlsAssignment::kSliders;
    if (tag >= 0 && tag < kParameters) {
        if (learnMode_) {
            plugin_.setLearnTarget(tag);
        }
        if (assignmentMode_ && !userControl) {
            pendingAssignment_ = tag;
            pendingValue_ = value;
        }
        setParameterFromEditor(tag, value);
    } else if (tag >= kFirstCommandTag) {
        runCommand(tag, value, control);
    }
    if (context != nullptr) {
        control.update(*context);
    }
    if (assignmentMode_ && userControl && pendingAssignment_ >= 0) {
        completeAssignment(tag - param::kUserSlider);
    }
}

void Editor::completeAssignment(int slider)
{
    const int target = std::exchange(pendingAssignment_, -1);
    const float low = pendingValue_;
    bool added = false;
    editObject(object::kUserControlsAssignment, [&](PatchObject& object) {
        if (auto* assignments = dynamic_cast<UserControlsAssignment*>(&object)) {
            added = assignments->add(slider, target, low, kAssignmentHigh);
        }
    });
    if (!added) {
        showMessage(kMsgTooManyAssignments);
    }
}

void Editor::parameterHook(int index, float value)
{
    if (index == param::kSeqSteps) {
        for (int tag = command::kFirstSeqStep; tag <= command::kLastSeqStep; ++tag) {
            setCommandValue(tag, 0.0f);
        }
        if (value != 0.0f) {
            const int step = static_cast<int>(value * kSequencerSteps);
            setCommandValue(command::kAssignmentMode + step, 1.0f);
        }
        for (View* view : viewsUnderTag(command::kPageSelector)) {
            if (auto* selector = dynamic_cast<PageSelector*>(view)) {
                selector->setLamp(kSequencerLamp, value != 0.0f);
                selector->setDirty();
            }
        }
    } else if (index == param::kFxTempoSync) {
        setCommandValue(command::kEffect1Sync, value);
    } else if (index == param::kFxTempoSync + 1) {
        setCommandValue(command::kEffect2Sync, value);
    }
}

StorageDialogHost& Editor::dialogs()
{
    if (dialogs_ != nullptr) {
        return *dialogs_;
    }
    if (!registryDialogs_) {
        registryDialogs_ = std::make_unique<RegistryDialogHost>(plugin_.settings(), installFolder_);
    }
    return *registryDialogs_;
}

void Editor::runCommand(int tag, float value, Control& control)
{
    ProgramHost& host = plugin_.programHost();
    switch (tag) {
    case command::kPageSelector: {
        const int index = static_cast<int>(value);
        if (index != currentPage_ && index >= 0 && index < static_cast<int>(pages_.size())) {
            selectPage(index);
        }
        return;
    }
    case command::kMidiOut:
        plugin_.setMidiOut(value != 0.0f);
        return;
    case command::kLearnMode:
        learnMode_ = value != 0.0f;
        if (!learnMode_) {
            plugin_.setLearnTarget(kNoLearnTarget);
            saveControllerAssignments(plugin_.settings());
        }
        redrawFrame();
        return;
    case command::kAssignmentMode:
        assignmentMode_ = value != 0.0f;
        if (!assignmentMode_) {
            pendingAssignment_ = -1;
        }
        redrawFrame();
        return;
    case command::kLoadSequencer:
        if (released(value)) {
            loadSequencerWithDialog(host, dialogs());
        }
        return;
    case command::kSaveSequencer:
        if (released(value)) {
            saveSequencerWithDialog(host, dialogs());
        }
        return;
    case command::kSwapEffects:
        if (released(value)) {
            swapEffectSlots();
        }
        return;
    case command::kLoadEffect1:
    case command::kLoadEffect2:
        if (released(value)) {
            loadEffectWithDialog(host, dialogs(), tag - command::kLoadEffect1);
        }
        return;
    case command::kSaveEffect1:
    case command::kSaveEffect2:
        if (released(value)) {
            saveEffectWithDialog(host, dialogs(), tag - command::kSaveEffect1);
        }
        return;
    case command::kEffect1Sync:
    case command::kEffect2Sync:
        setParameterFromEditor(param::kFxTempoSync + (tag - command::kEffect1Sync), value);
        redrawFrame();
        return;
    case command::kPitchPanelCancel:
    case command::kAssignmentsCancel:
        if (released(value)) {
            closePopup(false);
        }
        return;
    case command::kPitchPanelOk:
        if (released(value)) {
            applyPitchPanel();
            closePopup(true);
        }
        return;
    case command::kAssignmentsApply:
        // The assignments panel's controls write their working copy when told to apply.
        if (released(value)) {
            closePopup(true);
        }
        return;
    case command::kPitchRatioMode:
    case command::kPitchFixedMode: {
        const bool fixed = tag == command::kPitchFixedMode ? value != 0.0f : value == 0.0f;
        setCommandValue(tag == command::kPitchRatioMode ? command::kPitchFixedMode : command::kPitchRatioMode,
                        1.0f - value);
        // The frequency display's mode follows the fixed-pitch button.
        for (View* view : viewsUnderTag(command::kPitchFrequency)) {
            if (auto* display = dynamic_cast<NumericPanelDisplay*>(view)) {
                display->setMode(fixed ? 1 : 0);
                display->setDirty();
            }
        }
        return;
    }
    case command::kLoadAdditive:
    case command::kSaveAdditive:
    case command::kAdditiveFromWav: {
        if (!released(value)) {
            return;
        }
        const int object = kFirstAdditiveObject + additiveOscillator_;
        if (tag == command::kLoadAdditive) {
            loadAdditiveWithDialog(host, dialogs(), object);
        } else if (tag == command::kSaveAdditive) {
            saveAdditiveWithDialog(host, dialogs(), object);
        } else {
            loadWavWithDialog(host, dialogs(), object);
        }
        objectChanged(object);
        return;
    }
    case command::kKeyboardWindow:
        debugOutput(value != 0.0f ? "show kbd\n" : "hide kbd\n");
        return;
    case command::kWebPage:
        if (released(value)) {
            userInterface().openWebPage(kWebAddress);
        }
        return;
    default:
        break;
    }
    if (tag >= command::kFirstSeqStep && tag <= command::kLastSeqStep) {
        setParameterFromEditor(param::kSeqSteps, static_cast<float>(tag - command::kAssignmentMode) * value / kSequencerSteps);
        return;
    }
    if (tag >= command::kFirstAdditiveOscillator && tag <= command::kLastAdditiveOscillator) {
        if (value == 0.0f) {
            // A chosen oscillator cannot be switched off by clicking it again.
            control.setValue(1.0f);
            control.setDirty();
            return;
        }
        for (int other = command::kFirstAdditiveOscillator; other <= command::kLastAdditiveOscillator; ++other) {
            if (other != tag) {
                setCommandValue(other, 0.0f);
            }
        }
        additiveOscillator_ = tag - command::kFirstAdditiveOscillator;
        if (Container* holder = control.parent()) {
            sendNotification(*holder, notify::kRebase, kFirstAdditiveObject + additiveOscillator_);
            holder->setDirty();
        }
    }
}

// The pitch panel's OK: the oscillator's fixed-pitch switch follows the fixed button (10074) and
// its frequency the frequency display (10076).
void Editor::applyPitchPanel()
{
    auto* display = dynamic_cast<NumericPanelDisplay*>(controlUnderTag(command::kPitchFrequency));
    auto* fixedButton = dynamic_cast<Control*>(controlUnderTag(command::kPitchFixedMode));
    if (display == nullptr) {
        return;
    }
    const int oscillator = display->oscillator();
    if (oscillator < 0 || oscillator >= FixedPitchObject::kOscillators) {
        return;
    }
    const double frequency = display->number();
    const bool on = fixedButton != nullptr ? fixedButton->value() != 0.0f : display->mode() != 0;
    editObject(object::kFixedPitchValues, [&](PatchObject& stored) {
        if (auto* pitch = dynamic_cast<FixedPitchObject*>(&stored)) {
            FixedPitchObject::Setting setting = pitch->setting(oscillator);
            setting.on = on;
            if (std::isfinite(frequency) && frequency > 0.0) {
                setting.frequency = static_cast<float>(frequency);
            }
            pitch->set(oscillator, setting);
        }
    });
}

void Editor::swapEffectSlots()
{
    // The two effect-type objects change places; the engine rebuilds each slot from its type.
    std::unique_ptr<PatchObject> first;
    readObject(object::kFxType, [&](const PatchObject& object) { first = object.clone(); });
    std::unique_ptr<PatchObject> second;
    readObject(object::kFxType + 1, [&](const PatchObject& object) { second = object.clone(); });
    if (!first || !second) {
        return;
    }
    editObject(object::kFxType, [&](PatchObject& object) { object.copyFrom(*second); });
    editObject(object::kFxType + 1, [&](PatchObject& object) { object.copyFrom(*first); });

    std::array<std::pair<int, int>, 8> pairs{};
    for (int i = 0; i < 6; ++i) {
        pairs[static_cast<std::size_t>(i)] = {param::kFxParameter + i, param::kFxParameter + 6 + i};
    }
    pairs[6] = {param::kFxDryWet, param::kFxDryWet + 1};
    pairs[7] = {param::kFxTempoSync, param::kFxTempoSync + 1};
    std::array<std::pair<float, float>, 8> values{};
    {
        EditorPort::Reading reading = port_.read();
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            values[i] = {reading.value(pairs[i].first), reading.value(pairs[i].second)};
        }
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        setParameterFromEditor(pairs[i].first, values[i].second);
        setParameterFromEditor(pairs[i].second, values[i].first);
    }
}

}  // namespace pelko
