#include "editor/controls/slider_or_knob.h"

#include "editor/controls/assignment_session.h"
#include "editor/controls/numeric_displays.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelko {
namespace {

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

std::string noteName(int note)
{
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    int octave = note >= 0 ? note / 12 : -((11 - note) / 12);
    int pitch = note - octave * 12;
    return std::string(names[pitch]) + std::to_string(octave);
}

}  // namespace

// ---- slider -------------------------------------------------------------------------------------

void SliderPart::configure(SkinAttributes& a, const std::string& item)
{
    spacing1_ = a.integer(item, "spacing1");
    spacing2_ = a.integer(item, "spacing2");
    handleX_ = a.integer(item, "handlex");
    handleY_ = a.integer(item, "handley");
    groove_ = a.bitmap(item, "sliderBackgroundBitmap");
    handle_ = a.bitmap(item, "sliderItemBitmap");
}

Point SliderPart::imageSize() const
{
    return groove_ ? Point{groove_->width(), groove_->height()} : Point{};
}

int SliderPart::handleLength(const Rect& r) const
{
    if (!handle_) {
        return 0;
    }
    return vertical(r) ? handle_->height() : handle_->width();
}

int SliderPart::travel(const Rect& r) const
{
    int length = (vertical(r) ? r.height() : r.width()) - spacing1_ - spacing2_ - handleLength(r);
    return std::max(length, 1);
}

int SliderPart::handlePosition(const Rect& r, float normalized) const
{
    float along = vertical(r) ? 1.0f - normalized : normalized;
    int start = (vertical(r) ? r.top : r.left) + spacing1_;
    return start + static_cast<int>(along * static_cast<float>(travel(r)));
}

void SliderPart::draw(DrawContext& context, const Rect& r, float normalized) const
{
    if (groove_) {
        groove_->drawTransparent(context, r);
    }
    if (!handle_) {
        return;
    }
    int at = handlePosition(r, normalized);
    Rect handleArea = vertical(r) ? Rect::ofSize(r.left + handleX_, at, handle_->width(), handle_->height())
                                  : Rect::ofSize(at, r.top + handleY_, handle_->width(), handle_->height());
    handle_->drawTransparent(context, handleArea.intersection(r));
}

float SliderPart::press(const MouseEvent& event, const Rect& r, float normalized, int)
{
    int at = handlePosition(r, normalized);
    int mouse = along(event.where, r);
    int length = handleLength(r);
    // Grabbed on the handle: keep the grab point; elsewhere the handle centres on the mouse.
    grab_ = mouse >= at && mouse <= at + length ? mouse - at : length / 2;
    fine_ = false;
    if ((event.buttons & kMouseShift) != 0) {
        fine_ = true;
        fineFrom_ = mouse;
        fineValue_ = normalized;
        return normalized;
    }
    return drag(event, r, normalized);
}

float SliderPart::drag(const MouseEvent& event, const Rect& r, float normalized)
{
    int mouse = along(event.where, r);
    bool shift = (event.buttons & kMouseShift) != 0;
    if (shift != fine_) {
        fine_ = shift;
        fineFrom_ = mouse;
        fineValue_ = normalized;
        // Back to following the handle: grab it where it is now, so it does not jump.
        grab_ = mouse - handlePosition(r, normalized);
        return normalized;
    }
    if (fine_) {
        float moved = static_cast<float>(mouse - fineFrom_) / static_cast<float>(travel(r)) / kFineZoom;
        return clamp01(fineValue_ + (vertical(r) ? -moved : moved));
    }
    int start = (vertical(r) ? r.top : r.left) + spacing1_;
    float along = static_cast<float>(mouse - grab_ - start) / static_cast<float>(travel(r));
    return clamp01(vertical(r) ? 1.0f - along : along);
}

// ---- knob ---------------------------------------------------------------------------------------

void KnobPart::configure(SkinAttributes& a, const std::string& item)
{
    strip_ = a.bitmap(item, "bitmap");
    images_ = std::max(a.integer(item, "nknobs"), 0);
    centered_ = a.integer(item, "bitmapCentered") != 0;
}

Point KnobPart::imageSize() const
{
    if (!strip_ || images_ <= 0) {
        return {};
    }
    return Point{strip_->width(), strip_->height() / images_};
}

int KnobPart::imageFor(float normalized) const
{
    if (images_ <= 0) {
        return -1;
    }
    float v = clamp01(normalized);
    int last = images_ - 1;
    if (!centered_) {
        return std::min(static_cast<int>(v * static_cast<float>(last)), last);
    }
    int middle = last / 2;
    if (v <= 0.5f) {
        return std::min(static_cast<int>(v * 2.0f * static_cast<float>(middle)), middle);
    }
    return std::min(middle + static_cast<int>((v - 0.5f) * 2.0f * static_cast<float>(last - middle)), last);
}

void KnobPart::draw(DrawContext& context, const Rect& r, float normalized) const
{
    int image = imageFor(normalized);
    if (!strip_ || image < 0) {
        return;
    }
    int height = strip_->height() / images_;
    if (height <= 0) {
        return;
    }
    Rect dest = Rect::ofSize(r.left, r.top, std::min(r.width(), strip_->width()), std::min(r.height(), height));
    strip_->drawTransparent(context, dest, Point{0, image * height});
}

bool KnobPart::circularFor(int knobMode, int buttons)
{
    bool alt = (buttons & kMouseAlt) != 0;
    return knobMode == 2 ? alt : !alt;
}

float KnobPart::angleValue(Point where, const Rect& r)
{
    double cx = (r.left + r.right) / 2.0;
    double cy = (r.top + r.bottom) / 2.0;
    double degrees = std::atan2(cy - where.v, where.h - cx) * 180.0 / std::numbers::pi;
    // Clockwise from 225 degrees (lower left); the gap of 90 degrees at the bottom follows 270.
    double sweep = std::fmod(225.0 - degrees + 720.0, 360.0);
    if (sweep > 270.0) {
        return sweep > 315.0 ? 0.0f : 1.0f;
    }
    return static_cast<float>(sweep / 270.0);
}

float KnobPart::press(const MouseEvent& event, const Rect& r, float normalized, int knobMode)
{
    circular_ = circularFor(knobMode, event.buttons);
    fine_ = (event.buttons & kMouseShift) != 0;
    from_ = event.where;
    fromValue_ = normalized;
    return circular_ ? drag(event, r, normalized) : normalized;
}

float KnobPart::drag(const MouseEvent& event, const Rect& r, float normalized)
{
    if (circular_) {
        float v = angleValue(event.where, r);
        // Across the gap the value would jump from one end to the other: it stays at its end.
        if (std::fabs(v - normalized) > 0.5f) {
            return normalized > 0.5f ? 1.0f : 0.0f;
        }
        return v;
    }
    bool shift = (event.buttons & kMouseShift) != 0;
    if (shift != fine_) {
        // Continue smoothly from here at the other speed.
        fine_ = shift;
        from_ = event.where;
        fromValue_ = normalized;
        return normalized;
    }
    float pixels = fine_ ? kLinearPixels * kFineFactor : kLinearPixels;
    float moved = static_cast<float>((event.where.h - from_.h) - (event.where.v - from_.v));
    return clamp01(fromValue_ + moved / pixels);
}

// ---- the wrapper --------------------------------------------------------------------------------

void SliderOrKnob::configure(SkinAttributes& attributes, const std::string& item)
{
    SkinControl::configure(attributes, item);
    switch (attributes.integer(item, "mode")) {
    case 0:
        inner_ = std::make_unique<SliderPart>();
        break;
    case 1:
        inner_ = std::make_unique<KnobPart>();
        break;
    default:
        inner_.reset();
        return;
    }
    inner_->configure(attributes, item);
    Point size = inner_->imageSize();
    Rect r = rect_;
    if (r.width() <= 0) {
        r.right = r.left + size.h;
    }
    if (r.height() <= 0) {
        r.bottom = r.top + size.v;
    }
    place(r);
}

float SliderOrKnob::normalized() const
{
    float range = maximum_ - minimum_;
    if (range == 0.0f) {
        return 0.0f;
    }
    return clamp01((value_ - minimum_) / range);
}

void SliderOrKnob::draw(DrawContext& context)
{
    if (inner_) {
        inner_->draw(context, rect_, normalized());
    }
    setDirty(false);
}

void SliderOrKnob::takeNormalized(DrawContext& context, float normalizedValue)
{
    if (changeValue(minimum_ + normalizedValue * (maximum_ - minimum_))) {
        notifyListener(&context);
        draw(context);
    }
}

MouseResponse SliderOrKnob::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0) {
        if ((event.buttons & kMouseRight) != 0) {
            return rightPress(context, event);
        }
        return MouseResponse::kNotHandled;
    }
    if ((event.buttons & kMouseControl) != 0) {
        if (listener_ != nullptr) {
            listener_->beginEdit(tag_);
        }
        setValue(default_);
        bounceValue();
        notifyListener(&context);
        draw(context);
        if (listener_ != nullptr) {
            listener_->endEdit(tag_);
        }
        return MouseResponse::kHandled;
    }
    if (!inner_) {
        return MouseResponse::kHandled;
    }
    if (listener_ != nullptr) {
        listener_->beginEdit(tag_);
    }
    dragging_ = true;
    int knobMode = services_ != nullptr ? services_->knobMode() : 2;
    takeNormalized(context, inner_->press(event, rect_, normalized(), knobMode));
    return MouseResponse::kTrack;
}

void SliderOrKnob::mouseMoved(DrawContext& context, const MouseEvent& event)
{
    if (dragging_ && inner_) {
        takeNormalized(context, inner_->drag(event, rect_, normalized()));
    }
}

void SliderOrKnob::mouseReleased(DrawContext& context, const MouseEvent& event)
{
    if (!dragging_) {
        return;
    }
    if (inner_) {
        takeNormalized(context, inner_->drag(event, rect_, normalized()));
    }
    dragging_ = false;
    if (listener_ != nullptr) {
        listener_->endEdit(tag_);
    }
}

bool SliderOrKnob::wheel(DrawContext* context, Point, float distance, int buttons)
{
    float step = distance * wheelIncrement_;
    if ((buttons & kMouseShift) != 0) {
        step *= 0.1f;
    }
    if (changeValue(value_ + step)) {
        notifyListener(context);
        redraw(context);
    }
    return true;
}

MouseResponse SliderOrKnob::rightPress(DrawContext&, const MouseEvent&)
{
    return MouseResponse::kNotHandled;
}

// ---- variants -----------------------------------------------------------------------------------

int PitchSliderOrKnob::oscillator() const
{
    if (tag_ >= param::kOscCoarse && tag_ < param::kOscCoarse + param::kTuneRows) {
        return (tag_ - param::kOscCoarse) % 6;
    }
    return 0;
}

MouseResponse PitchSliderOrKnob::rightPress(DrawContext&, const MouseEvent&)
{
    if (services_ == nullptr) {
        return MouseResponse::kHandled;
    }
    int osc = oscillator();
    FixedPitchObject::Setting setting;
    services_->readObject(object::kFixedPitchValues, [&](const PatchObject& stored) {
        if (auto* pitch = dynamic_cast<const FixedPitchObject*>(&stored)) {
            setting = pitch->setting(osc);
        }
    });
    for (int tag : {kPitchRatioDisplayTag, kPitchFrequencyDisplayTag}) {
        if (auto* display = dynamic_cast<NumericPanelDisplay*>(services_->controlUnderTag(tag))) {
            display->setOscillator(osc);
            display->setNumber(setting.frequency);
        }
    }
    services_->setCommandValue(kPitchRatioModeTag, setting.on ? 0.0f : 1.0f);
    services_->setCommandValue(kPitchFixedModeTag, setting.on ? 1.0f : 0.0f);
    services_->showPopupPage(kPitchPanelPage, frameRect());
    return MouseResponse::kHandled;
}

int SeqNoteSliderOrKnob::entryOf(float value)
{
    return static_cast<int>((2.0f * value - 1.0f) * 48.0f + 48.0f);
}

MouseResponse SeqNoteSliderOrKnob::rightPress(DrawContext&, const MouseEvent& event)
{
    Frame* frame = frame_;
    if (frame == nullptr) {
        return MouseResponse::kHandled;
    }
    std::vector<MenuItem> notes;
    notes.reserve(kNotes);
    int current = entryOf(value_);
    for (int n = 0; n < kNotes; ++n) {
        MenuItem item = MenuItem::entry(noteName(n));
        item.checked = n == current;
        notes.push_back(std::move(item));
    }
    Point origin = parentOrigin();
    Point where{event.where.h + origin.h, event.where.v + origin.v};
    Ref<SeqNoteSliderOrKnob> self = Ref<SeqNoteSliderOrKnob>::share(this);
    frame->openPopupMenu(std::move(notes), where, [self](int chosen) {
        if (chosen < 0 || chosen >= kNotes) {
            return;
        }
        if (self->changeValue(static_cast<float>(chosen) / 96.0f)) {
            if (self->listener_ != nullptr) {
                self->listener_->beginEdit(self->tag_);
            }
            self->notifyListener(nullptr);
            if (self->listener_ != nullptr) {
                self->listener_->endEdit(self->tag_);
            }
            self->redraw(nullptr);
        }
    }, current >= 0 && current < kNotes ? current : -1);
    return MouseResponse::kHandled;
}

UserControlSliderOrKnob::~UserControlSliderOrKnob()
{
    if (services_ != nullptr) {
        AssignmentSession::discardOpenedBy(*services_, this);
    }
}

MouseResponse UserControlSliderOrKnob::rightPress(DrawContext&, const MouseEvent&)
{
    if (services_ == nullptr || tag_ < param::kUserSlider || tag_ >= param::kUserSlider + 6) {
        return MouseResponse::kHandled;
    }
    int slider = tag_ - param::kUserSlider;
    AssignmentSession::open(*services_, slider, this);
    services_->rebindPage(kAssignmentsPanelPage, slider);
    services_->showPopupPage(kAssignmentsPanelPage, Rect{});
    return MouseResponse::kHandled;
}

}  // namespace pelko
