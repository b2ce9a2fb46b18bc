// "AdditiveHarmonicsEditor": the 64 harmonics of an additive settings object as two rows of bars
// split at half the control's height, levels rising from the middle line, phases hanging below it.
//
// Left drag: the press decides the row (more than 2 pixels above the middle edits levels, more
// than 2 below edits phases, the 5-pixel band between edits nothing). Entering a harmonic sets it
// from the absolute position; moving on the same harmonic changes it by 0.01 per pixel, doubled
// for a step of more than 4 pixels and doubled again above 8 (up raises a level, down a phase).
// The harmonic touched last becomes the selected one. Right press: the operations menu
// (harmonic_operations.h), working from the selected harmonic.
//
// Attributes besides the shared ones: "barWidth", "barSpacing", "gridTextStep" and "gridTextY"
// (every step-th harmonic number, drawn that many pixels below the top).
#pragma once

#include "editor/controls/additive_bound_control.h"
#include "editor/controls/harmonic_operations.h"

namespace pelko {

class AdditiveHarmonicsEditor : public AdditiveBoundControl {
public:
    static constexpr int kLeftInset = 3;  // pixels before the first bar
    static constexpr int kMiddleBand = 2;  // presses this close to the middle line edit nothing

    AdditiveHarmonicsEditor(ControlListener* listener, int tag);

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    void mouseMoved(DrawContext& context, const MouseEvent& event) override;
    void mouseReleased(DrawContext& context, const MouseEvent& event) override;

    // 1–64, 0 when none.
    int selectedHarmonic() const { return selected_; }
    void setSelectedHarmonic(int harmonic);
    int firstVisible() const { return firstVisible_; }
    // How many bars fit.
    int visibleCount() const;
    int barStride() const { return barWidth_ + barSpacing_; }
    // The 0-based harmonic under an x position (container coordinates), or -1.
    int harmonicAt(int x) const;
    int middleLine() const;
    // Runs a menu operation on the shown object and reports the change.
    void runOperation(HarmonicOperation operation);

    bool valueTipShown() const { return tipShown_; }
    float valueTip() const { return tipValue_; }
    // Where the tip's box starts for a mouse position.
    Point tipOrigin(Point mouse) const;

protected:
    ~AdditiveHarmonicsEditor() override = default;

    void configure(SkinAttributes& attributes, const std::string& item) override;

private:
    enum class Row { kNone, kLevels, kPhases };

    void track(DrawContext& context, Point where);
    void openMenu(const MouseEvent& event);
    void drawTip(DrawContext& context);

    int barWidth_ = 4;
    int barSpacing_ = 2;
    int gridTextStep_ = 8;
    int gridTextY_ = -1;  // -1: just above the bottom edge
    int selected_ = 0;
    int firstVisible_ = 0;

    Row row_ = Row::kNone;
    int previousHarmonic_ = -1;
    int previousY_ = 0;
    bool tipShown_ = false;
    float tipValue_ = 0.0f;
    Point tipAt_{};
};

}  // namespace pelko
