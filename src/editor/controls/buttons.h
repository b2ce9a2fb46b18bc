// The buttons: "bitmap" holds one image per state stacked vertically, each as tall as the control
// (the control's height defaults to the bitmap's height over the states, its width to the
// bitmap's). Without the bitmap a button draws nothing but still works.
#pragma once

#include "editor/controls/skin_control.h"

namespace pelko {

class ButtonControl : public SkinControl {
public:
    ButtonControl(ControlListener* listener, int tag, int states) : SkinControl(listener, tag), states_(states) {}

    void draw(DrawContext& context) override;
    // The image shown for the current value.
    virtual int stateImage() const { return value_ >= 0.5f ? 1 : 0; }

protected:
    ~ButtonControl() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    // A left press toggles 0 and 1.
    void toggle(DrawContext& context);

    Ref<Bitmap> bitmap_;
    int states_;
};

// Value 1 while pressed and the mouse is over it, 0 again at release: the listener hears both,
// so a command acting on release runs once per click. With shift, control or alt held the press
// and the release happen at once.
class KickButton final : public ButtonControl {
public:
    KickButton(ControlListener* listener, int tag) : ButtonControl(listener, tag, 2) {}
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    void mouseMoved(DrawContext& context, const MouseEvent& event) override;
    void mouseReleased(DrawContext& context, const MouseEvent& event) override;

protected:
    ~KickButton() override = default;

private:
    float before_ = 0.0f;
    bool pressed_ = false;
};

class OnOffButton final : public ButtonControl {
public:
    OnOffButton(ControlListener* listener, int tag) : ButtonControl(listener, tag, 2) {}
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;

protected:
    ~OnOffButton() override = default;
};

// 0 → 0.5 → 1 → 0.
class ThreeStatesButton final : public ButtonControl {
public:
    ThreeStatesButton(ControlListener* listener, int tag) : ButtonControl(listener, tag, 3) {}
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    int stateImage() const override { return value_ >= 0.75f ? 2 : (value_ >= 0.25f ? 1 : 0); }

protected:
    ~ThreeStatesButton() override = default;
};

// Switches the bound waveshaper object on and off, and shows its switch.
class WaveshaperOnOffButton final : public ButtonControl {
public:
    WaveshaperOnOffButton(ControlListener* listener, int tag) : ButtonControl(listener, tag, 2) {}
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;

protected:
    ~WaveshaperOnOffButton() override = default;
    void bindObject(int index) override;
    void objectChanged(int index) override;

private:
    void readSwitch();
};

// Switches the plug-in's global tuning; reports only when the switch changed.
class GlobalTuningButton final : public ButtonControl {
public:
    GlobalTuningButton(ControlListener* listener, int tag) : ButtonControl(listener, tag, 2) {}
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;

protected:
    ~GlobalTuningButton() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    void refresh() override;
};

}  // namespace pelko
