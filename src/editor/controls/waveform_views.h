// Single-cycle wave pictures: "AdditiveWaveformEditor" shows the waveform its additive settings
// object renders; "OscWaveformDisplayer" shows the wave an oscillator currently plays and, on a
// left click, switches that oscillator on or off. Both draw one point per pixel column, mapping
// −1 … 1 to the control's height.
#pragma once

#include "editor/controls/additive_bound_control.h"

#include <vector>

namespace pelko {

// Draws the points (−1 … 1) across the rectangle as a line, with a centre line behind it.
void drawWaveform(DrawContext& context, const Rect& area, const std::vector<float>& points, Colour line, Colour centre,
                  Colour background);

class AdditiveWaveformEditor : public AdditiveBoundControl {
public:
    AdditiveWaveformEditor(ControlListener* listener, int tag);

    void draw(DrawContext& context) override;
    // The rendered points (as many as the control is wide).
    const std::vector<float>& points() const { return points_; }

protected:
    ~AdditiveWaveformEditor() override = default;
    void settingsRead() override;

private:
    std::vector<float> points_;
};

// Bound to an oscillator's objects (its shape object first); the value is 1 while the oscillator
// plays and 0 while its mute switch is set. Colours: "levelBarColor" (the wave), "phaseBarColor"
// (the wave of a muted oscillator), "gridTextColor" (the centre line), "bgColor".
class OscWaveformDisplayer : public AdditiveBoundControl {
public:
    OscWaveformDisplayer(ControlListener* listener, int tag);

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    // 0–5, or -1 before an oscillator's object was bound.
    int oscillator() const { return oscillator_; }
    const std::vector<float>& points() const { return points_; }

protected:
    ~OscWaveformDisplayer() override = default;
    void bindObject(int index) override;
    void objectChanged(int index) override;
    void rebind(int) override {}

private:
    void readWave();
    int shapeObject() const;

    int oscillator_ = -1;
    std::vector<float> points_;
};

}  // namespace pelko
