// A control for the toolkit tests: a horizontal bar whose filled part shows the value; a left
// press tracks the mouse and sets the value from the horizontal position; the wheel adds its
// increment per notch. It counts draws and records double clicks.
#pragma once

#include "editor/toolkit/control.h"
#include "editor/toolkit/draw_context.h"

#include <algorithm>

namespace editor_testing {

class BarControl : public pelko::Control {
public:
    static constexpr pelko::Colour kFilled{200, 40, 40, 0};
    static constexpr pelko::Colour kEmpty{20, 20, 60, 0};

    BarControl(const pelko::Rect& r, pelko::ControlListener* listener, int tag) : Control(r, listener, tag) {}

    void draw(pelko::DrawContext& context) override
    {
        ++draws;
        int split = rect_.left + static_cast<int>(value_ * static_cast<float>(rect_.width()));
        context.setFillColour(kEmpty);
        context.fillRect(rect_);
        context.setFillColour(kFilled);
        context.fillRect(pelko::Rect{rect_.left, rect_.top, split, rect_.bottom});
        setDirty(false);
    }
    pelko::MouseResponse mouse(pelko::DrawContext& context, const pelko::MouseEvent& event) override
    {
        if ((event.buttons & pelko::kMouseLeft) == 0) {
            return pelko::MouseResponse::kNotHandled;
        }
        if (isDoubleClick(event)) {
            ++doubleClicks;
        }
        if (listener_ != nullptr) {
            listener_->beginEdit(tag_);
        }
        follow(context, event);
        return pelko::MouseResponse::kTrack;
    }
    void mouseMoved(pelko::DrawContext& context, const pelko::MouseEvent& event) override { follow(context, event); }
    void mouseReleased(pelko::DrawContext& context, const pelko::MouseEvent& event) override
    {
        follow(context, event);
        if (listener_ != nullptr) {
            listener_->endEdit(tag_);
        }
    }
    bool wheel(pelko::DrawContext* context, pelko::Point, float distance, int) override
    {
        lastWheel = distance;
        setValue(value_ + distance * wheelIncrement_);
        bounceValue();
        notifyListener(context);
        if (context != nullptr) {
            draw(*context);
        }
        return true;
    }

    int draws = 0;
    int doubleClicks = 0;
    float lastWheel = 0.0f;

private:
    void follow(pelko::DrawContext& context, const pelko::MouseEvent& event)
    {
        float v = std::clamp(static_cast<float>(event.where.h - rect_.left) / static_cast<float>(rect_.width()), 0.0f, 1.0f);
        if (v != value_) {
            setValue(v);
            notifyListener(&context);
            draw(context);
        }
    }
};

class CountingListener : public pelko::ControlListener {
public:
    void valueChanged(pelko::DrawContext*, pelko::Control& control) override
    {
        ++changes;
        lastValue = control.value();
        lastTag = control.tag();
    }
    void beginEdit(int) override { ++begins; }
    void endEdit(int) override { ++ends; }
    int changes = 0;
    int begins = 0;
    int ends = 0;
    float lastValue = -1.0f;
    int lastTag = -1;
};

}  // namespace editor_testing
