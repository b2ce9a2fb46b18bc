// The page selector ("Tabs", tag 10000): "ntabs" tabs of "tabsWidth" × "tabsHeight", tab k
// (1-based) at "xk", "yk" inside the control, each with a lamp at "ledX", "ledY" of "ledWidth" ×
// "ledHeight" inside the tab. "background" is four bands as tall as the selector: tabs normal,
// lamp on, selected, selected with lamp on. The value is the selected tab (= the page shown).
//
// A left press on the lamp of tabs 1–6 mutes or unmutes that oscillator without selecting the
// tab; elsewhere on another tab it selects it and reports (the editor shows the page). A right
// press opens the program menu. Lamps: tabs 1–6 while the oscillator plays a wave, 7–8 while the
// filter is on, 10 while the sequencer runs (parameter 165 not 0), 11 while an effect slot holds
// an effect.
#pragma once

#include "editor/controls/skin_control.h"

#include <array>

namespace pelko {

class PageSelector final : public SkinControl {
public:
    static constexpr int kMaxTabs = 32;

    PageSelector(ControlListener* listener, int tag) : SkinControl(listener, tag) {}

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;

    int tabs() const { return tabs_; }
    int selected() const { return static_cast<int>(value_); }
    // Tab k (1-based) in the control's container coordinates, and its lamp.
    Rect tabArea(int k) const;
    Rect lampArea(int k) const;
    // The tab under a point, or 0.
    int tabAt(Point where) const;
    bool lamp(int k) const { return k >= 1 && k <= kMaxTabs && lamps_[static_cast<std::size_t>(k - 1)]; }
    void setLamp(int k, bool on);
    // Reads every lamp from the program.
    void updateLamps();

protected:
    ~PageSelector() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    void objectChanged(int index) override;
    void refresh() override;

private:
    Ref<Bitmap> background_;
    int tabs_ = 0;
    int tabWidth_ = 0;
    int tabHeight_ = 0;
    Rect lamp_{};
    std::array<Point, kMaxTabs> positions_{};
    std::array<bool, kMaxTabs> lamps_{};
};

}  // namespace pelko
