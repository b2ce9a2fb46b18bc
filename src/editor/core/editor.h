// The plug-in's editor: built from the skin each time the host opens it, destroyed each time it
// closes. It owns the frame, the eighteen pages (three of them always shown while open), the map
// from tags to the controls bound to them, the open popup panel and the learn and assignment
// modes. Controls tell it about user edits (ControlListener) and ask it for what they show
// (EditorServices); it reaches the plug-in only through the editor port, and learns what changed
// elsewhere (host automation, MIDI, program changes) from the change queue at every idle.
//
// Tags: 0–207 a parameter, 208–432 a patch object (208 + index), 10000 and above a command.
//
// Threads: every call is for the user-interface thread that opened the editor.
#pragma once

#include "editor/controls/editor_services.h"
#include "editor/controls/skin_control.h"
#include "editor/skin/skin_resources.h"
#include "editor/toolkit/control.h"
#include "editor/toolkit/frame.h"
#include "editor/toolkit/ref.h"
#include "plugin/editor_port.h"
#include "plugin/plugin_editor.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pelko {

class StorageDialogHost;

namespace page {
constexpr int kBank = 0;
constexpr int kAdditive = 9;
constexpr int kNone = 13;  // also the pitch panel, which is shown only as a popup
constexpr int kPitchPanel = 13;
constexpr int kAssignments = 14;
constexpr int kGlobal = 15;
constexpr int kTabs = 16;
constexpr int kStandalone = 17;
}  // namespace page

// The kinds of the notification record sent with kControlNotifyKey (as the controls read them:
// editor/controls/control_messages.h).
namespace notify {
constexpr int kObjectChanged = 0;   // first: the object index (on open and on a change)
constexpr int kRefreshCommand = 1;  // a command control refreshes from the editor's state
constexpr int kConfigure = 2;       // data: the EditorServices*, text: the skin.ini item name
constexpr int kBindObject = 3;      // first: the object index, second: the tag
constexpr int kRebase = 4;          // first: the new base object index
constexpr int kPopupClosed = 5;     // first: 1 apply, 0 discard
constexpr int kIdle = 6;            // the control asked for the next idle
}  // namespace notify

// Sends one notification record to a view.
int sendNotification(View& view, int kind, std::int64_t first = 0, std::int64_t second = 0, const void* data = nullptr,
                     std::string_view text = {});

class Editor final : public PluginEditor, public EditorServices, public ControlListener, public FrameOwner {
public:
    // installFolder: where "skin/" is ("" for none: an empty editor of a default size).
    Editor(SynthPlugin& plugin, const std::string& installFolder);
    ~Editor() override;
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // The factory the module installs.
    static std::unique_ptr<PluginEditor> make(SynthPlugin& plugin);

    // ---- PluginEditor -----------------------------------------------------------------------------
    EditorRectangle rectangle() const override;
    bool open(std::uintptr_t parent) override;
    void close() override;
    bool isOpen() const override { return static_cast<bool>(frame_); }
    void idle() override;
    bool keyDown(int character, int virtualKey, int modifiers) override;
    bool keyUp(int character, int virtualKey, int modifiers) override;
    bool wheel(float distance) override;
    void setKnobMode(int mode) override { knobMode_ = mode; }
    bool renderPage(int page, const std::string& path) override;
    void setScaleOverride(int scale) override;

    // ---- the editor's own operations --------------------------------------------------------------
    // Shows page `index` (13: none) and returns it; the previous one is taken off the frame.
    Container* selectPage(int index);
    Container* page(int index) const;
    Frame* frame() const { return frame_.get(); }
    // Every control under the parameter's tag takes the value and is marked dirty.
    void setParameter(int index, float value);
    // Every control bound to patch object k re-reads it.
    void objectChanged(int index);
    void programNameChanged();
    View* popupView() const { return popup_.get(); }
    void closePopup(bool apply);
    bool assignmentMode() const { return assignmentMode_; }
    int pendingAssignment() const { return pendingAssignment_; }
    std::size_t controlsUnderTag(int tag) const { return tags_.count(tag); }
    std::vector<View*> viewsUnderTag(int tag) const;
    std::size_t taggedControls() const { return tags_.size(); }
    // The dialogs the file commands use (tests give scripted ones); the registry's by default.
    void setDialogs(StorageDialogHost* dialogs) { dialogs_ = dialogs; }

    // What the factory context calls while the layout is read.
    Ref<View> createView(const std::string& type, const std::string& item, int tag);
    void addControl(View& control, int tag, const std::vector<int>& params, Container* into);
    void setPage(int index, Ref<Container> container);

    // ---- ControlListener --------------------------------------------------------------------------
    void valueChanged(DrawContext* context, Control& control) override;
    void beginEdit(int tag) override;
    void endEdit(int tag) override;

    // ---- FrameOwner -------------------------------------------------------------------------------
    void trackingIdle() override;
    // Files dropped from other programs (editor_drops.cpp): the first absolute path is loaded by
    // its extension; other items (drags inside the editor) are left alone.
    bool itemsDropped(DrawContext& context, const std::vector<std::string>& items, Point where) override;
    bool loadDroppedFile(const std::string& path);
    int drawingScale() const override { return scale_; }

    // ---- EditorServices ---------------------------------------------------------------------------
    SkinAttributes& attributes() override { return attributes_; }
    int knobMode() const override { return knobMode_; }
    float parameterValue(int parameter) const override;
    bool learnMode() const override { return learnMode_; }
    int controllerOfParameter(int parameter) const override;
    void rebindPage(int page, int base) override;
    std::string parameterDisplay(int parameter) const override;
    std::string parameterName(int parameter) const override;
    bool readObject(int index, const std::function<void(const PatchObject&)>& read) const override;
    bool editObject(int index, const std::function<void(PatchObject&)>& edit) override;
    std::vector<ChoiceGroup> waveChoices() const override;
    std::vector<ChoiceGroup> filterModeChoices() const override;
    std::vector<ChoiceGroup> effectTypeChoices() const override;
    int currentProgram() const override;
    std::vector<std::string> programNames() const override;
    void selectProgram(int index) override;
    int currentPage() const override { return currentPage_; }
    void showPopupPage(int page, const Rect& near) override;
    View* controlUnderTag(int tag) const override;
    void setCommandValue(int tag, float value) override;
    bool globalTuning() const override;
    void setGlobalTuning(bool on) override;
    std::vector<ArchiveSummary> waveArchives() const override;
    int externalWaves() const override;
    int presetCount() const override;
    std::string chooseFile(const FileChoice& choice) override;
    // Bank slots and the preset library.
    void slotCommand(SlotCommand command, int slot) override;
    bool programCopied() const override;
    void renameProgram(int slot, const std::string& name) override;
    PresetDatabase* presetLibrary() override;
    bool loadPreset(int presetId, int slot) override;
    bool fileProgram(int slot, int catId) override;
    std::vector<std::string> presetBanks() const override;
    std::string bankName() const override;
    bool loadPresetBank(const std::string& name) override;
    void requestIdle(View& view) override;
    std::vector<float> oscillatorWaveform(int oscillator, int points) const override;

private:
    void refreshAll();
    void applyQueuedChanges();
    void runCommand(int tag, float value, Control& control);
    void parameterHook(int index, float value);
    void completeAssignment(int slider);
    void setParameterFromEditor(int index, float value);
    void swapEffectSlots();
    void applyPitchPanel();
    void rebaseAdditivePage(int oscillator);
    StorageDialogHost& dialogs();
    void redrawFrame();
    // The scale of the next (or the open) window, chosen once: at the first rectangle asked for or
    // at opening, whichever comes first, and kept until the editor closes.
    int decideScale(bool withWindow) const;

    SynthPlugin& plugin_;
    EditorPort port_;
    SkinSession session_;
    SkinAttributes attributes_;
    std::string installFolder_;
    int width_ = 0;
    int height_ = 0;
    int knobMode_ = 2;
    // Drawing scale (editor_scale.h): the one decided, whether it is, and the one a tool forces.
    mutable int scale_ = 1;
    mutable bool scaleDecided_ = false;
    int scaleOverride_ = 0;

    Ref<Frame> frame_;
    std::array<Ref<Container>, 18> pages_{};
    int currentPage_ = page::kNone;
    std::multimap<int, Ref<View>> tags_;
    Ref<View> popup_;
    bool learnMode_ = false;
    bool assignmentMode_ = false;
    int pendingAssignment_ = -1;
    float pendingValue_ = 1.0f;
    // The oscillator (0–5) whose additive settings the additive page edits.
    int additiveOscillator_ = 0;
    std::unique_ptr<StorageDialogHost> registryDialogs_;
    StorageDialogHost* dialogs_ = nullptr;
    // Controls that asked for the next idle (kind 6).
    std::vector<Ref<View>> idleRequests_;
};

// The size a frame item of the skin asks for ("width", "height"); a missing or unreasonable side
// takes a sane default, so an editor without a skin still has a usable window.
Rect skinFrameSize(SkinAttributes& attributes, const std::string& item);

// Registers the frame and container types ("MainFrame", "ContainerPage", "ChildFrame").
void registerFrameTypes();

}  // namespace pelko
