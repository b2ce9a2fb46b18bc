#include "editor/controls/buttons.h"

#include "editor/toolkit/draw_context.h"
#include "params/curve_objects.h"
#include "params/patch_object_table.h"

namespace pelko {
namespace {

constexpr int kModifiers = kMouseShift | kMouseControl | kMouseAlt;

bool isWaveshaperObject(int index)
{
    return index >= object::kOscWaveshape && index < object::kOscWaveshape + 6;
}

}  // namespace

void ButtonControl::configure(SkinAttributes& attributes, const std::string& item)
{
    SkinControl::configure(attributes, item);
    bitmap_ = attributes.bitmap(item, "bitmap");
    if (bitmap_) {
        Rect r = rect_;
        if (r.width() <= 0) {
            r.right = r.left + bitmap_->width();
        }
        if (r.height() <= 0) {
            r.bottom = r.top + bitmap_->height() / states_;
        }
        place(r);
    }
}

void ButtonControl::draw(DrawContext& context)
{
    if (bitmap_ && rect_.height() > 0) {
        int image = stateImage();
        if ((image + 1) * rect_.height() <= bitmap_->height()) {
            bitmap_->draw(context, rect_, Point{0, image * rect_.height()});
        }
    }
    setDirty(false);
}

void ButtonControl::toggle(DrawContext& context)
{
    setValue(value_ >= 0.5f ? 0.0f : 1.0f);
    notifyListener(&context);
    draw(context);
}

MouseResponse KickButton::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    if ((event.buttons & kModifiers) != 0) {
        setValue(1.0f);
        notifyListener(&context);
        setValue(0.0f);
        notifyListener(&context);
        draw(context);
        return MouseResponse::kHandled;
    }
    before_ = value_;
    pressed_ = true;
    setValue(1.0f);
    notifyListener(&context);
    draw(context);
    return MouseResponse::kTrack;
}

void KickButton::mouseMoved(DrawContext& context, const MouseEvent& event)
{
    if (!pressed_) {
        return;
    }
    // Only the picture follows the mouse; the listener hears the press and the release.
    float shown = rect_.contains(event.where) ? 1.0f : before_;
    if (shown != value_) {
        setValue(shown);
        draw(context);
    }
}

void KickButton::mouseReleased(DrawContext& context, const MouseEvent&)
{
    if (!pressed_) {
        return;
    }
    pressed_ = false;
    setValue(0.0f);
    notifyListener(&context);
    draw(context);
}

MouseResponse OnOffButton::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    toggle(context);
    return MouseResponse::kHandled;
}

MouseResponse ThreeStatesButton::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    float next = value_ + 0.5f;
    setValue(next > 1.0f ? 0.0f : next);
    notifyListener(&context);
    draw(context);
    return MouseResponse::kHandled;
}

void WaveshaperOnOffButton::bindObject(int index)
{
    SkinControl::bindObject(index);
    readSwitch();
}

void WaveshaperOnOffButton::objectChanged(int index)
{
    SkinControl::objectChanged(index);
    readSwitch();
}

void WaveshaperOnOffButton::readSwitch()
{
    if (services_ == nullptr) {
        return;
    }
    for (int index : objects_) {
        if (!isWaveshaperObject(index)) {
            continue;
        }
        services_->readObject(index, [this](const PatchObject& stored) {
            if (auto* shaper = dynamic_cast<const WaveshaperObject*>(&stored)) {
                setValue(shaper->curve().on() ? 1.0f : 0.0f);
            }
        });
        return;
    }
}

MouseResponse WaveshaperOnOffButton::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    bool on = value_ < 0.5f;
    setValue(on ? 1.0f : 0.0f);
    if (services_ != nullptr) {
        for (int index : objects_) {
            if (isWaveshaperObject(index)) {
                services_->editObject(index, [on](PatchObject& stored) {
                    if (auto* shaper = dynamic_cast<WaveshaperObject*>(&stored)) {
                        shaper->curve().setOn(on);
                    }
                });
                break;
            }
        }
    }
    notifyListener(&context);
    draw(context);
    return MouseResponse::kHandled;
}

void GlobalTuningButton::configure(SkinAttributes& attributes, const std::string& item)
{
    ButtonControl::configure(attributes, item);
    refresh();
}

void GlobalTuningButton::refresh()
{
    if (services_ != nullptr) {
        setValue(services_->globalTuning() ? 1.0f : 0.0f);
    }
    setDirty(true);
}

MouseResponse GlobalTuningButton::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    if (services_ == nullptr) {
        return MouseResponse::kHandled;
    }
    bool before = services_->globalTuning();
    services_->setGlobalTuning(!before);
    bool now = services_->globalTuning();
    setValue(now ? 1.0f : 0.0f);
    if (now != before) {
        notifyListener(&context);
    }
    draw(context);
    return MouseResponse::kHandled;
}

}  // namespace pelko
