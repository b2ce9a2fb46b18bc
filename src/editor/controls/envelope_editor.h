// The envelope editor ("OscEnvDisplayer", "FilterEnvDisplayer"): the curve-editing base over an
// envelope on a time axis, with the sustain loop (area and two handles under the plot), a time
// handle per segment for its velocity-time sensitivity, a time ruler (beat subdivisions while
// tempo-synced, seconds otherwise), the sync button, an amount bar for the depth, a horizontal
// scroll bar and a context menu (points, segments, view, stretching, the process-wide envelope
// clipboard, envelope files).
//
// Time axis: x = plot left + t × pixelsPerUnit − scroll, with pixelsPerUnit = 480 × zoom. Dragging
// the scroll bar's handle scrolls; dragging either end of it zooms, keeping the other end in place.
// While synced, breakpoint drags snap to 1/32 beat (durations are seconds at 120 BPM, so 1/64 s).
#pragma once

#include "editor/controls/curve_editor_base.h"
#include "editor/toolkit/popup_menu.h"
#include "params/envelope_shape.h"

namespace pelko {

class EnvelopeEditor : public CurveEditorBase {
public:
    // The context menu's entries in their order (separators do not count).
    enum MenuEntry : int {
        kAddPoint,
        kRemoveSegment,
        kFit,
        kStretch200,
        kStretch150,
        kStretch67,
        kStretch50,
        kDuplicateSustain,
        kCopyEnvelope,
        kPasteEnvelope,
        kLoadEnvelope,
        kSaveEnvelope,
    };
    static constexpr double kPixelsPerUnitAtZoom1 = 480.0;
    static constexpr double kSecondsPerBeat = 0.5;  // durations are seconds at 120 BPM
    static constexpr double kMinZoom = 1.0 / 4096.0;
    static constexpr double kMaxZoom = 64.0;

    EnvelopeEditor(ControlListener* listener, int tag);

    double xOfTime(double t) const override;
    double timeOfX(double x) const override;
    double timePerPixel() const override;
    double zoom() const { return zoom_; }
    double scroll() const { return scroll_; }
    void setView(double zoom, double scrollPixels);
    // 1/32 beat while synced, 0 otherwise.
    double snapStep() const;
    // Ticks per beat of the synced ruler at the current zoom.
    int rulerSubdivision() const;

    // Hit areas (the control's container coordinates).
    Rect syncButtonArea() const;
    Rect amountBarArea() const;
    Rect scrollTrackArea() const;
    Rect scrollHandleArea() const;
    Rect sustainHandleArea(bool end) const;
    Rect timeHandleArea(int segment) const;

    // Runs a context-menu entry; the time is the one under the mouse when the menu opened.
    void runMenuEntry(int entry, double time);
    // The entries as the menu shows them.
    std::vector<MenuItem> menuItems() const;
    const EnvelopeShape* shape() const;

protected:
    ~EnvelopeEditor() override = default;

    void configure(SkinAttributes& attributes, const std::string& item) override;
    bool accepts(const PatchObject& object) const override;
    SegmentList* listOf(PatchObject& object) const override;
    void workingCopyRead() override;
    double breakpointTime(int b) const override;
    bool fixedInTime(int b) const override;
    float defaultLevel(int) const override { return 0.0f; }
    void setBreakpointTime(int b, double t) override;
    double snapTime(double t) const override;
    bool removeBreakpoint(int b) override;
    bool pressBeforeMarkers(DrawContext& context, const MouseEvent& event) override;
    bool pressAfterMarkers(DrawContext& context, const MouseEvent& event) override;
    void rightPressElsewhere(DrawContext& context, const MouseEvent& event) override;
    void dragOther(DrawContext& context, const MouseEvent& event) override;
    void drawBeforeGrid(DrawContext& context) override;
    void drawAfterCurve(DrawContext& context) override;
    void drawAfterNames(DrawContext& context) override;
    Rect defaultMargins() const override { return Rect{6, 16, 18, 44}; }

private:
    EnvelopeShape* editedShape();
    double contentSpan() const;
    int nearestBreakpoint(int x) const;
    void fit();
    void drawHandle(DrawContext& context, int x, int apexY, Colour fill, Colour outline);
    void drawRuler(DrawContext& context);
    void loadFromFile();
    void saveToFile();

    double zoom_ = 1.0;
    double scroll_ = 0.0;  // pixels
    bool viewSet_ = false;
    double anchorScroll_ = 0.0;
    double anchorViewStart_ = 0.0;
    double anchorViewEnd_ = 0.0;
    double anchorContent_ = 1.0;
    int sustainMark_ = -1;  // breakpoint of the dragged sustain handle

    Ref<Bitmap> syncBitmap_;
    Colour gridTextColour_{170, 170, 180, 0};
    int gridTextFont_ = 6;
    Colour sustainArea_{44, 52, 76, 0};
    Colour sustainHandleFill_{200, 200, 210, 0};
    Colour sustainHandleOutline_{40, 40, 48, 0};
    Colour timeHandleFill_{120, 190, 120, 0};
    Colour timeHandleOutline_{30, 60, 30, 0};
    int scrollbarPosition_ = -1;
    int scrollbarSpacing_ = 0;
    Colour scrollbarColour_{48, 48, 60, 0};
    Colour handleColour_{140, 140, 156, 0};
    int handleWidth_ = 5;
};

}  // namespace pelko
