#include "editor/controls/page_selector.h"

#include "editor/controls/name_displays.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"

#include <algorithm>

namespace pelko {
namespace {

constexpr int kOscillatorTabs = 6;
constexpr int kFirstFilterTab = 7;
constexpr int kSequencerTab = 10;
constexpr int kEffectsTab = 11;

}  // namespace

void PageSelector::configure(SkinAttributes& a, const std::string& item)
{
    SkinControl::configure(a, item);
    background_ = a.bitmap(item, "background");
    tabs_ = std::clamp(a.integer(item, "ntabs"), 0, kMaxTabs);
    tabWidth_ = a.integer(item, "tabsWidth");
    tabHeight_ = a.integer(item, "tabsHeight");
    lamp_ = Rect::ofSize(a.integer(item, "ledX"), a.integer(item, "ledY"), a.integer(item, "ledWidth"),
                         a.integer(item, "ledHeight"));
    for (int k = 1; k <= tabs_; ++k) {
        positions_[static_cast<std::size_t>(k - 1)] =
            Point{a.integer(item, "x" + std::to_string(k)), a.integer(item, "y" + std::to_string(k))};
    }
    if (background_) {
        Rect r = rect_;
        if (r.width() <= 0) {
            r.right = r.left + background_->width();
        }
        if (r.height() <= 0) {
            r.bottom = r.top + background_->height() / 4;
        }
        place(r);
    }
    updateLamps();
}

Rect PageSelector::tabArea(int k) const
{
    if (k < 1 || k > tabs_) {
        return {};
    }
    Point p = positions_[static_cast<std::size_t>(k - 1)];
    return Rect::ofSize(rect_.left + p.h, rect_.top + p.v, tabWidth_, tabHeight_);
}

Rect PageSelector::lampArea(int k) const
{
    Rect tab = tabArea(k);
    if (tab.empty()) {
        return {};
    }
    return Rect::ofSize(tab.left + lamp_.left, tab.top + lamp_.top, lamp_.width(), lamp_.height());
}

int PageSelector::tabAt(Point where) const
{
    for (int k = 1; k <= tabs_; ++k) {
        if (tabArea(k).contains(where)) {
            return k;
        }
    }
    return 0;
}

void PageSelector::setLamp(int k, bool on)
{
    if (k >= 1 && k <= kMaxTabs && lamps_[static_cast<std::size_t>(k - 1)] != on) {
        lamps_[static_cast<std::size_t>(k - 1)] = on;
        setDirty(true);
    }
}

void PageSelector::updateLamps()
{
    if (services_ == nullptr) {
        return;
    }
    for (int osc = 0; osc < kOscillatorTabs; ++osc) {
        bool on = false;
        services_->readObject(object::kOscShapeId + osc, [&](const PatchObject& stored) {
            if (auto* wave = dynamic_cast<const WaveNameObject*>(&stored)) {
                on = wave->selectsWave();
            }
        });
        setLamp(osc + 1, on);
    }
    for (int filter = 0; filter < 2; ++filter) {
        bool on = false;
        services_->readObject(object::kFilterMode + filter, [&](const PatchObject& stored) {
            if (auto* mode = dynamic_cast<const IntegerObject*>(&stored)) {
                on = mode->value() != 0;
            }
        });
        setLamp(kFirstFilterTab + filter, on);
    }
    bool effect = false;
    for (int slot = 0; slot < 2; ++slot) {
        services_->readObject(object::kFxType + slot, [&](const PatchObject& stored) {
            if (auto* type = dynamic_cast<const IntegerObject*>(&stored)) {
                effect = effect || type->value() != 0;
            }
        });
    }
    setLamp(kEffectsTab, effect);
    setLamp(kSequencerTab, services_->parameterValue(param::kSeqSteps) != 0.0f);
}

void PageSelector::objectChanged(int) { updateLamps(); }

void PageSelector::refresh()
{
    updateLamps();
    setDirty(true);
}

void PageSelector::draw(DrawContext& context)
{
    if (background_ && rect_.height() > 0) {
        int band = rect_.height();
        background_->draw(context, rect_);
        for (int k = 1; k <= tabs_; ++k) {
            bool isSelected = k == selected();
            bool lit = lamp(k);
            if (!isSelected && !lit) {
                continue;
            }
            Rect tab = tabArea(k);
            int b = (isSelected ? 2 : 0) + (lit ? 1 : 0);
            if ((b + 1) * band <= background_->height()) {
                background_->draw(context, tab, Point{tab.left - rect_.left, b * band + tab.top - rect_.top});
            }
        }
    }
    setDirty(false);
}

MouseResponse PageSelector::mouse(DrawContext& context, const MouseEvent& event)
{
    if ((event.buttons & kMouseRight) != 0 && (event.buttons & kMouseLeft) == 0) {
        if (services_ != nullptr && frame_ != nullptr) {
            Point origin = parentOrigin();
            openProgramMenu(*frame_, *services_, Point{event.where.h + origin.h, event.where.v + origin.v});
        }
        return MouseResponse::kHandled;
    }
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    int k = tabAt(event.where);
    if (k == 0) {
        return MouseResponse::kHandled;
    }
    if (k <= kOscillatorTabs && lampArea(k).contains(event.where)) {
        if (services_ != nullptr) {
            services_->editObject(object::kOscShapeId + k - 1, [](PatchObject& stored) {
                if (auto* wave = dynamic_cast<WaveNameObject*>(&stored)) {
                    wave->setMuted(!wave->muted());
                }
            });
        }
        updateLamps();
        draw(context);
        return MouseResponse::kHandled;
    }
    if (k != selected()) {
        setValue(static_cast<float>(k));
        notifyListener(&context);
        draw(context);
    }
    return MouseResponse::kHandled;
}

}  // namespace pelko
