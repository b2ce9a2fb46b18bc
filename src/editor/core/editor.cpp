#include "editor/core/editor.h"

#include "editor/controls/control_registry.h"
#include "editor/controls/name_displays.h"
#include "editor/controls/page_selector.h"
#include "editor/controls/parameter_controls.h"
#include "editor/core/editor_scale.h"
#include "editor/core/factory_context.h"
#include "editor/core/storage_dialogs.h"
#include "editor/skin/skin_layout.h"
#include "editor/toolkit/draw_context.h"
#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "platform/messages.h"

#include <algorithm>

namespace pelko {
namespace {

// The size of an editor whose skin gives none (no install folder, no skin, an empty skin.ini),
// and the largest a skin may ask for.
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kLargestSide = 4096;
// The additive page starts bound to the first oscillator's additive settings.
constexpr int kFirstAdditiveObject = 184;
constexpr int kAdditiveRadioTag = 10082;

int sideFromSkin(int value, int fallback)
{
    return value > 0 && value <= kLargestSide ? value : fallback;
}

}  // namespace

Rect skinFrameSize(SkinAttributes& attributes, const std::string& item)
{
    return Rect{0, 0, sideFromSkin(attributes.integer(item, "width"), kDefaultWidth),
                sideFromSkin(attributes.integer(item, "height"), kDefaultHeight)};
}

int sendNotification(View& view, int kind, std::int64_t first, std::int64_t second, const void* data,
                     std::string_view text)
{
    Notification record;
    record.kind = kind;
    record.first = first;
    record.second = second;
    record.data = data;
    record.text = text;
    return view.notify(kControlNotifyKey, record);
}

std::unique_ptr<PluginEditor> Editor::make(SynthPlugin& plugin)
{
    registerFrameTypes();
    registerParameterControls();
    return std::make_unique<Editor>(plugin, plugin.installFolder().value_or(std::string()));
}

Editor::Editor(SynthPlugin& plugin, const std::string& installFolder)
    : plugin_(plugin), port_(plugin), session_(installFolder), installFolder_(installFolder)
{
    const Rect size = skinFrameSize(attributes_, "MainFrame");
    width_ = size.width();
    height_ = size.height();
}

Editor::~Editor()
{
    close();
}

EditorRectangle Editor::rectangle() const
{
    // Hosts ask for the size before opening, to size their window: the scale is decided here
    // already, on the assumption that a window follows.
    const int scale = decideScale(true);
    return EditorRectangle{10, 10, height_ * scale + 10, width_ * scale + 10};
}

int Editor::decideScale(bool withWindow) const
{
    if (!scaleDecided_) {
        scale_ = scaleOverride_ != 0 ? scaleOverride_ : editorScaleFromSettings(plugin_.settings(), withWindow);
        scaleDecided_ = true;
    }
    return scale_;
}

void Editor::setScaleOverride(int scale)
{
    scaleOverride_ = scale == 1 || scale == 2 ? scale : 0;
    if (!frame_) {
        scaleDecided_ = false;
    }
}

Ref<View> Editor::createView(const std::string& type, const std::string& item, int tag)
{
    Ref<View> view = ControlRegistry::shared().create(type, this, tag);
    if (view) {
        sendNotification(*view, notify::kConfigure, 0, 0, static_cast<EditorServices*>(this), item);
    }
    return view;
}

bool Editor::open(std::uintptr_t parent)
{
    close();
    attributes_.setScale(decideScale(parent != 0));
    Ref<View> created = createView("MainFrame", "MainFrame", 0);
    auto* frame = dynamic_cast<Frame*>(created.get());
    if (frame == nullptr) {
        debugOutput("create frame failed\n");
        showMessage(kMsgOutOfMemory);
        return false;
    }
    frame_ = Ref<Frame>::adopt(static_cast<Frame*>(created.detach()));
    if (parent != 0 && !frame_->openWindow(parent, {}, "Pelko")) {
        debugOutput("the editor window could not be opened\n");
        frame_.reset();
        return false;
    }

    if (!installFolder_.empty()) {
        FactoryContext context(*this);
        readLayout(skinFilePath(installFolder_, "skin.dat"), context);
    }
    if (Container* additive = page(page::kAdditive)) {
        sendNotification(*additive, notify::kRebase, kFirstAdditiveObject);
    }
    setCommandValue(kAdditiveRadioTag, 1.0f);
    selectPage(page::kBank);
    for (int permanent : {page::kStandalone, page::kGlobal, page::kTabs}) {
        if (Container* shown = page(permanent)) {
            shown->addReference();
            frame_->addView(shown);
        }
    }
    // Everything is read now: what the queue holds from before is already shown.
    struct Ignore {
        void parameter(int) {}
        void object(int) {}
        void programName() {}
        void currentProgram() {}
        void bank() {}
    } ignore;
    port_.drainChanges(ignore);
    refreshAll();
    frame_->redrawAll();
    return true;
}

void Editor::close()
{
    if (!frame_) {
        return;
    }
    popup_.reset();
    idleRequests_.clear();
    frame_->closePopupMenu();
    frame_->setModalView(nullptr);
    for (int permanent : {page::kStandalone, page::kGlobal, page::kTabs}) {
        if (Container* shown = page(permanent); shown != nullptr && frame_->isChild(shown)) {
            frame_->removeView(shown, true);
        }
    }
    selectPage(page::kNone);
    for (Ref<Container>& slot : pages_) {
        if (slot) {
            slot->removeAll(true);
            slot.reset();
        }
    }
    tags_.clear();
    Ref<Frame> frame = std::move(frame_);
    frame->closeWindow();
    frame.reset();
    scaleDecided_ = false;
}

void Editor::setPage(int index, Ref<Container> container)
{
    if (index >= 0 && index < kPages) {
        pages_[static_cast<std::size_t>(index)] = std::move(container);
    }
}

Container* Editor::page(int index) const
{
    return index >= 0 && index < kPages ? pages_[static_cast<std::size_t>(index)].get() : nullptr;
}

Container* Editor::selectPage(int index)
{
    if (index < 0 || index >= kPages) {
        return nullptr;
    }
    if (currentPage_ != page::kNone && frame_) {
        if (Container* shown = page(currentPage_); shown != nullptr && frame_->isChild(shown)) {
            frame_->removeView(shown, true);
        }
    }
    currentPage_ = index;
    Container* shown = nullptr;
    if (currentPage_ != page::kNone && frame_) {
        shown = page(currentPage_);
        if (shown != nullptr) {
            shown->addReference();
            frame_->addView(shown);
            shown->invalidate();
        }
    }
    setCommandValue(kFirstCommandTag, static_cast<float>(currentPage_));
    redrawFrame();
    return shown;
}

void Editor::addControl(View& view, int tag, const std::vector<int>& params, Container* into)
{
    view.addReference();
    if (into != nullptr) {
        into->addView(&view);
    } else {
        frame_->addView(&view);
    }
    tags_.emplace(tag, Ref<View>::share(&view));
    if (tag >= kFirstObjectTag && tag < kFirstCommandTag) {
        if (tag - kFirstObjectTag < kPatchObjects) {
            sendNotification(view, notify::kBindObject, tag - kFirstObjectTag, tag);
        }
    } else if (tag >= kFirstCommandTag) {
        sendNotification(view, notify::kRefreshCommand);
    } else if (tag >= 0 && tag < kParameters) {
        if (auto* control = dynamic_cast<Control*>(&view)) {
            const ParameterInfo& row = parameterTable()[static_cast<std::size_t>(tag)];
            control->setDefaultValue(row.defaultValue);
            control->setMinimum(row.minimum);
            control->setMaximum(row.maximum);
            control->setWheelIncrement(row.step);
        }
    }
    for (int extra : params) {
        tags_.emplace(extra, Ref<View>::share(&view));
        if (extra >= kFirstCommandTag) {
            sendNotification(view, notify::kRefreshCommand);
        } else if (extra - kFirstObjectTag >= 0 && extra - kFirstObjectTag < kPatchObjects) {
            sendNotification(view, notify::kBindObject, extra - kFirstObjectTag, extra);
        }
    }
}

std::vector<View*> Editor::viewsUnderTag(int tag) const
{
    std::vector<View*> views;
    auto [begin, end] = tags_.equal_range(tag);
    for (auto it = begin; it != end; ++it) {
        views.push_back(it->second.get());
    }
    return views;
}

View* Editor::controlUnderTag(int tag) const
{
    auto found = tags_.find(tag);
    return found != tags_.end() ? found->second.get() : nullptr;
}

void Editor::refreshAll()
{
    {
        EditorPort::Reading reading = port_.read();
        for (auto& [tag, view] : tags_) {
            if (tag >= kFirstCommandTag) {
                sendNotification(*view, notify::kRefreshCommand);
            } else if (tag < 0) {
                debugOutput("weird tag\n");
            } else if (tag >= kFirstObjectTag) {
                if (tag - kFirstObjectTag < kPatchObjects) {
                    sendNotification(*view, notify::kObjectChanged, tag - kFirstObjectTag);
                }
            } else if (tag < kParameters) {
                if (auto* control = dynamic_cast<Control*>(view.get())) {
                    control->setValue(reading.value(tag));
                }
            }
            view->setDirty();
        }
    }
    std::array<float, kParameters> values{};
    {
        EditorPort::Reading reading = port_.read();
        for (int i = 0; i < kParameters; ++i) {
            values[static_cast<std::size_t>(i)] = reading.value(i);
        }
    }
    for (int i = 0; i < kParameters; ++i) {
        setParameter(i, values[static_cast<std::size_t>(i)]);
    }
    for (int k = 0; k < kPatchObjects; ++k) {
        objectChanged(k);
    }
}

void Editor::setParameter(int index, float value)
{
    auto [begin, end] = tags_.equal_range(index);
    for (auto it = begin; it != end; ++it) {
        if (auto* control = dynamic_cast<Control*>(it->second.get())) {
            control->setValue(value);
            control->setDirty();
        }
    }
    parameterHook(index, value);
}

void Editor::objectChanged(int index)
{
    if (index < 0 || index >= kPatchObjects) {
        return;
    }
    const int tag = kFirstObjectTag + index;
    auto [begin, end] = tags_.equal_range(tag);
    for (auto it = begin; it != end; ++it) {
        sendNotification(*it->second, notify::kObjectChanged, index);
        it->second->setDirty();
    }
    // The additive page's controls may be rebound to any oscillator's additive settings, which
    // their tags do not name: they hear every additive object's change and keep the one they show.
    if (index >= kFirstAdditiveObject && index < kFirstAdditiveObject + kProgramOscillators) {
        if (Container* additive = page(page::kAdditive)) {
            Notification record{notify::kObjectChanged, index, 0, nullptr, {}};
            additive->notifyChildren(kControlNotifyKey, record);
        }
    }
}

void Editor::programNameChanged()
{
    for (int tag : {10062, 10088}) {
        for (View* view : viewsUnderTag(tag)) {
            sendNotification(*view, notify::kRefreshCommand);
            view->setDirty();
        }
    }
    const std::string name = plugin_.programName();
    for (View* view : viewsUnderTag(10001)) {
        if (auto* display = dynamic_cast<ProgramNameDisplay*>(view)) {
            display->setText(name);
        } else {
            sendNotification(*view, notify::kRefreshCommand);
        }
        view->setDirty();
    }
}

void Editor::setCommandValue(int tag, float value)
{
    auto [begin, end] = tags_.equal_range(tag);
    for (auto it = begin; it != end; ++it) {
        if (auto* control = dynamic_cast<Control*>(it->second.get())) {
            control->setValue(value);
            control->setDirty();
        }
    }
}

// What changed elsewhere since the last idle reaches the controls bound to it. The flags are
// gathered first, so the values are read under one short lock.
void Editor::applyQueuedChanges()
{
    struct Gathered {
        std::array<bool, kParameters> parameters{};
        std::array<bool, kPatchObjects> objects{};
        bool name = false;
        bool program = false;
        bool bankChanged = false;
        void parameter(int i) { parameters[static_cast<std::size_t>(i)] = true; }
        void object(int k) { objects[static_cast<std::size_t>(k)] = true; }
        void programName() { name = true; }
        void currentProgram() { program = true; }
        void bank() { bankChanged = true; }
    } changed;
    if (!port_.drainChanges(changed)) {
        return;
    }
    std::array<float, kParameters> values{};
    {
        EditorPort::Reading reading = port_.read();
        for (int i = 0; i < kParameters; ++i) {
            if (changed.parameters[static_cast<std::size_t>(i)]) {
                values[static_cast<std::size_t>(i)] = reading.value(i);
            }
        }
    }
    for (int i = 0; i < kParameters; ++i) {
        if (changed.parameters[static_cast<std::size_t>(i)]) {
            setParameter(i, values[static_cast<std::size_t>(i)]);
        }
    }
    for (int k = 0; k < kPatchObjects; ++k) {
        if (changed.objects[static_cast<std::size_t>(k)]) {
            objectChanged(k);
        }
    }
    if (changed.name || changed.program || changed.bankChanged) {
        programNameChanged();
    }
}

void Editor::idle()
{
    if (!frame_) {
        return;
    }
    applyQueuedChanges();
    // A control that asks again while handling its turn is served at the idle after this one.
    for (const Ref<View>& view : std::exchange(idleRequests_, {})) {
        sendNotification(*view, notify::kIdle);
    }
    frame_->idle();
}

void Editor::trackingIdle()
{
    applyQueuedChanges();
}

void Editor::redrawFrame()
{
    if (frame_) {
        frame_->invalidateArea(frame_->rect());
    }
}

namespace {

// The toolkit's key code for a key from the host: its virtual key when it has one the toolkit
// knows, else its character.
int toolkitKey(int character, int virtualKey)
{
    switch (virtualKey) {
    case 1: return kKeyBackspace;
    case 2: return kKeyTab;
    case 4:
    case 19: return kKeyReturn;
    case 6: return kKeyEscape;
    case 7: return ' ';
    case 8: return kKeyPageDown;
    case 9: return kKeyEnd;
    case 10: return kKeyHome;
    case 11: return kKeyLeft;
    case 12: return kKeyUp;
    case 13: return kKeyRight;
    case 14: return kKeyDown;
    case 15: return kKeyPageUp;
    case 16: return kKeyPageDown;
    case 22: return kKeyDelete;
    default: break;
    }
    return character > 0 && character < 0x1000 ? character : 0;
}

}  // namespace

bool Editor::keyDown(int character, int virtualKey, int /*modifiers*/)
{
    const int key = toolkitKey(character, virtualKey);
    if (!frame_ || key == 0) {
        return false;
    }
    return frame_->keyDown(key) != -1;
}

bool Editor::keyUp(int character, int virtualKey, int /*modifiers*/)
{
    const int key = toolkitKey(character, virtualKey);
    if (!frame_ || key == 0) {
        return false;
    }
    return frame_->keyUp(key) != -1;
}

bool Editor::wheel(float distance)
{
    if (!frame_) {
        return false;
    }
    // The host's wheel message has no place: it goes to the views at the frame's origin.
    return frame_->wheel(nullptr, Point{}, distance, 0);
}

bool Editor::renderPage(int index, const std::string& path)
{
    if (!frame_ || path.empty()) {
        return false;
    }
    applyQueuedChanges();
    if (index == page::kPitchPanel || index == page::kAssignments) {
        // The popup panels are drawn as the editor shows them: over the page that is shown.
        const bool wasOpen = static_cast<bool>(popup_);
        if (!wasOpen) {
            showPopupPage(index, Rect{});
        }
        const bool written = frame_->renderToPng(path);
        if (!wasOpen) {
            closePopup(false);
        }
        return written;
    }
    const int shown = currentPage_;
    if (index >= 0 && index < kPages && index != currentPage_) {
        selectPage(index);
    }
    const bool written = frame_->renderToPng(path);
    if (shown != currentPage_) {
        selectPage(shown);
    }
    return written;
}

void Editor::showPopupPage(int index, const Rect& near)
{
    if (!frame_ || (index != page::kPitchPanel && index != page::kAssignments)) {
        return;
    }
    Container* panel = page(index);
    if (panel == nullptr) {
        return;
    }
    if (popup_) {
        closePopup(false);
    }
    Rect area = panel->rect();
    const Rect bounds = frame_->rect();
    int left = (bounds.width() - area.width()) / 2;
    int top = (bounds.height() - area.height()) / 2;
    if (!near.empty()) {
        // Beside the control that opened it, kept inside the frame.
        left = std::clamp(near.right, 0, std::max(0, bounds.width() - area.width()));
        top = std::clamp(near.top, 0, std::max(0, bounds.height() - area.height()));
    }
    panel->setRect(Rect{left, top, left + area.width(), top + area.height()});
    popup_ = Ref<View>::share(panel);
    panel->addReference();
    frame_->addView(panel);
    frame_->setModalView(panel);
    panel->invalidate();
    redrawFrame();
}

void Editor::closePopup(bool apply)
{
    if (!popup_) {
        return;
    }
    Ref<View> panel = std::move(popup_);
    sendNotification(*panel, notify::kPopupClosed, apply ? 1 : 0);
    if (frame_) {
        if (frame_->modalView() == panel.get()) {
            frame_->setModalView(nullptr);
        }
        if (frame_->isChild(panel.get())) {
            frame_->removeView(panel.get(), true);
        }
        redrawFrame();
    }
}

}  // namespace pelko
