// What the parameter-control tests share: an editor stand-in (EditorServices over a program, a
// private skin and recorded requests), a listener that records what the controls report, tiny
// bitmaps and a bitmap font written into a private skin folder, and a headless frame to put the
// controls in.
#pragma once

#include "editor/controls/control_messages.h"
#include "editor/controls/control_registry.h"
#include "editor/controls/editor_services.h"
#include "editor/controls/parameter_controls.h"
#include "editor/skin/skin_resources.h"
#include "editor/toolkit/frame.h"
#include "params/program.h"
#include "support/test_folders.h"

#include "editor/toolkit/control.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/offscreen.h"
#include "image_files.h"
#include "params/parameter_table.h"
#include <filesystem>
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace controls_testing {

class FakeServices : public pelko::EditorServices {
public:
    explicit FakeServices(pelko::SkinResources& resources) : attributes_(resources) {}

    pelko::SkinAttributes& attributes() override { return attributes_; }
    int knobMode() const override { return knob; }
    float parameterValue(int p) const override { return p >= 0 && p < 208 ? values[static_cast<std::size_t>(p)] : 0.0f; }
    std::string parameterDisplay(int p) const override
    {
        if (auto found = displays.find(p); found != displays.end()) {
            return found->second;
        }
        char text[16];
        std::snprintf(text, sizeof(text), "%03d", static_cast<int>(parameterValue(p) * 100.0f));
        return text;
    }
    std::string parameterName(int p) const override { return "Param" + std::to_string(p); }
    bool learnMode() const override { return learning; }
    int controllerOfParameter(int p) const override { return p == 5 ? 7 : -1; }

    bool readObject(int index, const std::function<void(const pelko::PatchObject&)>& read) const override
    {
        if (index < 0 || index >= 225) {
            return false;
        }
        read(program.object(index));
        return true;
    }
    bool editObject(int index, const std::function<void(pelko::PatchObject&)>& edit) override
    {
        if (index < 0 || index >= 225) {
            return false;
        }
        edit(program.object(index));
        edited.push_back(index);
        return true;
    }

    std::vector<pelko::ChoiceGroup> waveChoices() const override
    {
        return {{"", {"Off"}, {0}}, {"Single Cycle", {"Sine", "Saw"}, {0, 0}}, {"Vocal", {"Ah"}, {0}}};
    }
    std::vector<pelko::ChoiceGroup> filterModeChoices() const override { return {{"", {"Off", "LP 12", "HP 12"}, {0, 1, 7}}}; }

    int currentProgram() const override { return 2; }
    std::vector<std::string> programNames() const override { return {"Bright", "Dark", "Pad", "Lead"}; }
    void selectProgram(int index) override { selected.push_back(index); }
    void slotCommand(SlotCommand command, int slot) override { actions.emplace_back(command, slot); }
    bool programCopied() const override { return copied; }
    void renameProgram(int slot, const std::string& name) override { renamed.emplace_back(slot, name); }

    void showPopupPage(int page, const pelko::Rect& near) override
    {
        popupPage = page;
        popupNear = near;
    }
    void rebindPage(int page, int base) override { rebound.emplace_back(page, base); }
    pelko::View* controlUnderTag(int tag) const override
    {
        auto found = underTag.find(tag);
        return found != underTag.end() ? found->second : nullptr;
    }
    void setCommandValue(int tag, float value) override { commands[tag] = value; }

    bool globalTuning() const override { return tuning; }
    void setGlobalTuning(bool on) override
    {
        if (!tuningLocked) {
            tuning = on;
        }
    }

    std::vector<ArchiveSummary> waveArchives() const override { return {{"Single Cycle", 12}, {"Vocal", 40}}; }
    int externalWaves() const override { return 3; }
    int presetCount() const override { return 1234; }
    std::string chooseFile(const pelko::FileChoice& choice) override
    {
        fileChoices.push_back(choice.title);
        return chosenFile;
    }

    pelko::Program program;
    std::array<float, 208> values{};
    std::map<int, std::string> displays;
    int knob = 2;
    bool learning = false;
    std::vector<int> edited;
    std::vector<int> selected;
    std::vector<std::pair<pelko::EditorServices::SlotCommand, int>> actions;
    bool copied = false;
    std::vector<std::pair<int, std::string>> renamed;
    int popupPage = -1;
    pelko::Rect popupNear{};
    std::vector<std::pair<int, int>> rebound;
    std::map<int, pelko::View*> underTag;
    std::map<int, float> commands;
    bool tuning = false;
    bool tuningLocked = false;
    std::string chosenFile;                // what the file dialog answers (empty: cancelled)
    std::vector<std::string> fileChoices;  // the dialogs' titles, in order

private:
    pelko::SkinAttributes attributes_;
};

struct Report {
    int tag;
    float value;
};

class RecordingListener : public pelko::ControlListener {
public:
    void valueChanged(pelko::DrawContext*, pelko::Control& control) override
    {
        reports.push_back({control.tag(), control.value()});
    }
    void beginEdit(int tag) override { begins.push_back(tag); }
    void endEdit(int tag) override { ends.push_back(tag); }

    std::vector<Report> reports;
    std::vector<int> begins;
    std::vector<int> ends;
};

// Pixels 0xRRGGBB, top row first, written as a 24-bit BMP into the skin folder.
void writeSkinBitmap(const std::string& installFolder, const std::string& name, int width, int height,
                     const std::vector<std::uint32_t>& pixels);
// A strip of one solid colour per image, images stacked vertically.
void writeStrip(const std::string& installFolder, const std::string& name, int width, int imageHeight,
                const std::vector<std::uint32_t>& colours);
// A bitmap font of the printable characters, drawn with the system font in the colour given.
void writeBitmapFont(const std::string& installFolder, const std::string& name, std::uint32_t colour);

class ControlTest {
public:
    ControlTest();
    ~ControlTest();

    // Defines skin items (skin.ini text).
    void skin(const std::string& ini) { resources.definitions().parse(ini); }
    // Creates a control by type name as the editor does: configure, add to the frame, bind.
    template <class T = pelko::Control>
    T* make(const std::string& type, int tag, const std::string& item, std::vector<int> objects = {})
    {
        return dynamic_cast<T*>(create(type, tag, item, std::move(objects)));
    }
    pelko::View* create(const std::string& type, int tag, const std::string& item, std::vector<int> objects);

    // Input in frame coordinates; presses are far apart in time (no double clicks).
    void press(pelko::Point p, int buttons = pelko::kMouseLeft);
    void move(pelko::Point p, int buttons = pelko::kMouseLeft);
    void release(pelko::Point p);
    void click(pelko::Point p, int buttons = pelko::kMouseLeft);
    bool wheel(pelko::Point p, float distance, int buttons = 0) { return frame->wheelMouse(p, distance, buttons); }
    // The colour the frame shows at a point after updating the dirty views.
    std::uint32_t pixel(int x, int y);

    testing_support::TempFolder folder;
    pelko::SkinResources resources;
    FakeServices services{resources};
    RecordingListener listener;
    pelko::Frame* frame;

private:
    std::uint32_t time_ = 10000;
};

using namespace pelko;

inline void writeSkinBitmap(const std::string& installFolder, const std::string& name, int width, int height,
                     const std::vector<std::uint32_t>& pixels)
{
    std::filesystem::create_directories(installFolder + "skin");
    editor_testing::writeFile(installFolder + "skin/" + name, editor_testing::bmpBytes(width, height, pixels));
}

inline void writeStrip(const std::string& installFolder, const std::string& name, int width, int imageHeight,
                const std::vector<std::uint32_t>& colours)
{
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t c : colours) {
        pixels.insert(pixels.end(), static_cast<std::size_t>(width * imageHeight), c);
    }
    writeSkinBitmap(installFolder, name, width, imageHeight * static_cast<int>(colours.size()), pixels);
}

inline void writeBitmapFont(const std::string& installFolder, const std::string& name, std::uint32_t colour)
{
    // Each glyph is drawn with the system font on white (the transparent colour); the marker row
    // above holds a marker pixel at every glyph start.
    constexpr int kHeight = 12;
    Offscreen scratch(16, kHeight, colours::kWhite);
    std::vector<std::vector<std::uint32_t>> columns;
    std::vector<int> starts;
    for (int c = 32; c < 127; ++c) {
        Offscreen glyph(16, kHeight, colours::kWhite);
        DrawContext context(glyph);
        context.setFont(5);
        context.setFontColour(Colour{static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                     static_cast<std::uint8_t>(colour), 0});
        std::string text(1, static_cast<char>(c));
        int width = std::clamp(context.stringWidth(text) + 1, 2, 15);
        context.drawString(text, Rect{0, 0, width, kHeight}, false, kAlignLeft);
        starts.push_back(static_cast<int>(columns.size()));
        for (int x = 0; x < width; ++x) {
            std::vector<std::uint32_t> column;
            for (int y = 0; y < kHeight; ++y) {
                std::uint32_t p = glyph.pixel(x, y);
                // Anti-aliasing greys become either ink or background.
                column.push_back(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 700 ? colour : 0xFFFFFF);
            }
            columns.push_back(std::move(column));
        }
    }
    int width = static_cast<int>(columns.size());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * (kHeight + 1)), 0xFFFFFF);
    constexpr std::uint32_t kMarker = 0xFF00FF;
    for (int s : starts) {
        pixels[static_cast<std::size_t>(s)] = kMarker;
    }
    for (int x = 1; x < width; ++x) {
        if (pixels[static_cast<std::size_t>(x)] != kMarker) {
            pixels[static_cast<std::size_t>(x)] = 0x000001;
        }
    }
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < kHeight; ++y) {
            pixels[static_cast<std::size_t>((y + 1) * width + x)] = columns[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
        }
    }
    writeSkinBitmap(installFolder, name, width, kHeight + 1, pixels);
}

inline ControlTest::ControlTest() : frame(new Frame(400, 300))
{
    resources.setInstallFolder(folder.path());
    std::filesystem::create_directories(folder.path() + "skin");
    registerParameterControls();
}

inline ControlTest::~ControlTest() { frame->release(); }

inline View* ControlTest::create(const std::string& type, int tag, const std::string& item, std::vector<int> objects)
{
    Ref<View> view = ControlRegistry::shared().create(type, &listener, tag);
    if (!view) {
        return nullptr;
    }
    view->notify(kControlNotifyKey, makeConfigure(services, item));
    View* raw = view.get();
    frame->addView(view.detach());
    services.underTag[tag] = raw;
    auto* control = dynamic_cast<Control*>(raw);
    if (control != nullptr && tag >= 0 && tag < 208) {
        const ParameterInfo& info = parameterTable()[static_cast<std::size_t>(tag)];
        control->setDefaultValue(info.defaultValue);
        control->setMinimum(info.minimum);
        control->setMaximum(info.maximum);
        control->setWheelIncrement(info.step);
        control->setValue(services.values[static_cast<std::size_t>(tag)]);
    }
    if (tag >= 208 && tag < 433) {
        objects.insert(objects.begin(), tag - 208);
    }
    for (int index : objects) {
        raw->notify(kControlNotifyKey, makeBindObject(index));
    }
    if (tag >= 10000) {
        raw->notify(kControlNotifyKey, makeRefresh());
    }
    raw->setDirty(true);
    return raw;
}

inline void ControlTest::press(Point p, int buttons)
{
    time_ += 5000;
    frame->pressMouse(p, buttons, time_);
}

inline void ControlTest::move(Point p, int buttons) { frame->moveMouse(p, buttons); }
inline void ControlTest::release(Point p) { frame->releaseMouse(p, 0); }

inline void ControlTest::click(Point p, int buttons)
{
    press(p, buttons);
    release(p);
}

inline std::uint32_t ControlTest::pixel(int x, int y)
{
    frame->updateViews();
    return frame->backBuffer().pixel(x, y);
}

}  // namespace controls_testing
