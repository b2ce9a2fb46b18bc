// The slider-or-knob family: one control the editor sees, holding the value, and an inner part
// chosen by the item's "mode" that draws it and turns the mouse into values (0 a slider, 1 a
// knob, anything else nothing). The wrapper does what both share: control + left click sets the
// default, a left drag reports begin and end of the edit and every change, the wheel adds the
// increment per notch (a tenth with shift). The variants differ only in the right button.
#pragma once

#include "editor/controls/skin_control.h"

#include <memory>

namespace pelko {

// The part that draws the value and maps the mouse to values. Values here are normalized:
// 0 at the control's minimum, 1 at its maximum.
class InnerControl {
public:
    virtual ~InnerControl() = default;
    virtual void configure(SkinAttributes& attributes, const std::string& item) = 0;
    virtual void draw(DrawContext& context, const Rect& r, float normalized) const = 0;
    // A left press starts a drag; answers the normalized value to take (or the current one).
    virtual float press(const MouseEvent& event, const Rect& r, float normalized, int knobMode) = 0;
    virtual float drag(const MouseEvent& event, const Rect& r, float normalized) = 0;
    // The size of its images, for an item that gives no "width" or "height" (0 when unknown).
    virtual Point imageSize() const = 0;
};

// The slider: a groove image and a handle image moving along it. It runs vertically (maximum at
// the top) when the control is taller than wide, else horizontally. The handle follows the mouse
// from where it was grabbed; with shift the value moves by the mouse travel over the travel
// length divided by kFineZoom, continuing from the value at the moment shift went down.
class SliderPart final : public InnerControl {
public:
    static constexpr float kFineZoom = 5.0f;

    void configure(SkinAttributes& attributes, const std::string& item) override;
    void draw(DrawContext& context, const Rect& r, float normalized) const override;
    float press(const MouseEvent& event, const Rect& r, float normalized, int knobMode) override;
    float drag(const MouseEvent& event, const Rect& r, float normalized) override;
    Point imageSize() const override;

    // The handle's top-left along the travel for a value, and the travel length in pixels.
    int handlePosition(const Rect& r, float normalized) const;
    int travel(const Rect& r) const;
    bool vertical(const Rect& r) const { return r.height() > r.width(); }

private:
    int handleLength(const Rect& r) const;
    int along(Point p, const Rect& r) const { return vertical(r) ? p.v : p.h; }

    Ref<Bitmap> groove_;
    Ref<Bitmap> handle_;
    int spacing1_ = 0;
    int spacing2_ = 0;
    int handleX_ = 0;
    int handleY_ = 0;
    int grab_ = 0;
    bool fine_ = false;
    int fineFrom_ = 0;
    float fineValue_ = 0.0f;
};

// The knob: one image of a vertical strip of "nknobs" images per value (the first for the
// minimum, the last for the maximum; with "bitmapCentered" the middle image stands for the middle
// of the range). Circular drags follow the angle around the centre over 270 degrees from the lower
// left, clockwise; linear drags move by (right − up) pixels over 200 (300 with shift).
class KnobPart final : public InnerControl {
public:
    static constexpr float kLinearPixels = 200.0f;
    static constexpr float kFineFactor = 1.5f;

    void configure(SkinAttributes& attributes, const std::string& item) override;
    void draw(DrawContext& context, const Rect& r, float normalized) const override;
    float press(const MouseEvent& event, const Rect& r, float normalized, int knobMode) override;
    float drag(const MouseEvent& event, const Rect& r, float normalized) override;
    Point imageSize() const override;

    // The strip image shown for a value.
    int imageFor(float normalized) const;
    int images() const { return images_; }
    // The value of a point by its angle around the centre of r (unclamped gap handling below).
    static float angleValue(Point where, const Rect& r);
    // Knob mode 2 is linear unless alt is held; any other mode is circular unless alt is held.
    static bool circularFor(int knobMode, int buttons);

private:
    Ref<Bitmap> strip_;
    int images_ = 0;
    bool centered_ = false;
    bool circular_ = false;
    bool fine_ = false;
    Point from_{};
    float fromValue_ = 0.0f;
};

class SliderOrKnob : public SkinControl {
public:
    SliderOrKnob(ControlListener* listener, int tag) : SkinControl(listener, tag) {}

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    void mouseMoved(DrawContext& context, const MouseEvent& event) override;
    void mouseReleased(DrawContext& context, const MouseEvent& event) override;
    bool wheel(DrawContext* context, Point where, float distance, int buttons) override;

    // The inner part (none for an unknown mode).
    InnerControl* inner() const { return inner_.get(); }
    float normalized() const;

protected:
    ~SliderOrKnob() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    // The right button; the base does nothing.
    virtual MouseResponse rightPress(DrawContext& context, const MouseEvent& event);
    void takeNormalized(DrawContext& context, float normalized);

    std::unique_ptr<InnerControl> inner_;
    bool dragging_ = false;
};

// Opens the pitch panel for its oscillator (the pitch parameters are per oscillator: coarse
// 2–7, fine 8–13).
class PitchSliderOrKnob final : public SliderOrKnob {
public:
    using SliderOrKnob::SliderOrKnob;
    int oscillator() const;

protected:
    ~PitchSliderOrKnob() override = default;
    MouseResponse rightPress(DrawContext& context, const MouseEvent& event) override;
};

// Opens a menu of the notes 0–96 (C0 … C8), the current one preselected: entry n stands for the
// value n / 96, so the entry of a value v is (2v − 1) · 48 + 48, truncated.
class SeqNoteSliderOrKnob final : public SliderOrKnob {
public:
    using SliderOrKnob::SliderOrKnob;
    static constexpr int kNotes = 97;
    static int entryOf(float value);

protected:
    ~SeqNoteSliderOrKnob() override = default;
    MouseResponse rightPress(DrawContext& context, const MouseEvent& event) override;
};

// Opens the assignments panel for its user control (tag − 202) on a working copy of the
// program's assignments (assignment_session.h).
class UserControlSliderOrKnob final : public SliderOrKnob {
public:
    using SliderOrKnob::SliderOrKnob;

protected:
    ~UserControlSliderOrKnob() override;
    MouseResponse rightPress(DrawContext& context, const MouseEvent& event) override;
};

// Page numbers and command tags the slider variants use.
constexpr int kPitchPanelPage = 13;
constexpr int kAssignmentsPanelPage = 14;
constexpr int kPitchRatioModeTag = 10073;
constexpr int kPitchFixedModeTag = 10074;
constexpr int kPitchRatioDisplayTag = 10075;
constexpr int kPitchFrequencyDisplayTag = 10076;

}  // namespace pelko
