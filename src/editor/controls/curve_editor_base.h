// The curve-editing base of the envelope, curve and waveshaper editors: a plot of one breakpoint
// list (segment_list.h) with a grid, top and bottom axis lines, the curve in its colours, square
// markers on the breakpoints and circle markers for each segment's bend, and a names menu when the
// control's params list binds several objects of its kind.
//
// Mouse: a left press on a breakpoint drags it (time and level; shift is ten times finer,
// control resets its level), on a curve marker bends the segment (shift: 0.0001 per move,
// control straightens it); a right press on a breakpoint removes the segment before it.
//
// Editing never touches the program's object directly: the control keeps a working copy of the
// shown object, changes that, and writes it back whole through EditorServices::editObject (under
// the plug-in's lock, which applies it and reports the change), once per mouse event of a drag.
// So the engine only ever sees whole objects. Kind 0 for the shown object reads the copy again.
#pragma once

#include "editor/controls/skin_control.h"
#include "params/segment_list.h"

#include <memory>
#include <string>
#include <vector>

namespace pelko {

class BitmapFont;
class PatchObject;

class CurveEditorBase : public SkinControl {
public:
    CurveEditorBase(ControlListener* listener, int tag);

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    void mouseMoved(DrawContext& context, const MouseEvent& event) override;
    void mouseReleased(DrawContext& context, const MouseEvent& event) override;

    // ---- geometry, in the coordinates of the control's container -----------------------------
    // The plot is never lower than this while the control is at least this high.
    static constexpr int kMinPlotHeight = 40;
    Rect plotArea() const;
    // The vertical inset of levels 1 and 0 inside the plot ("defaultOffsetPercent").
    int levelOffset() const;
    virtual double xOfTime(double t) const;
    virtual double timeOfX(double x) const;
    double yOfLevel(double level) const;
    // Level per pixel of vertical movement.
    double levelScale() const;
    // Time per pixel of horizontal movement.
    virtual double timePerPixel() const;
    Point breakpointPoint(int b) const;
    Point curveMarkerPoint(int segment) const;
    // A position rounded to a pixel; NaN and far-off positions end up far outside every window.
    static int toPixel(double v);

    // ---- what is shown ---------------------------------------------------------------------------
    // The bound objects of this editor's kind, in binding order; the names menu lists them.
    const std::vector<int>& editableObjects() const { return editable_; }
    int shownObject() const { return shown_; }
    void showObject(int index);
    // The working copy of the shown object (none before one was read).
    const SegmentList* shownList() const;
    bool namesMenuShown() const { return editableObjects().size() > 1; }
    bool valueTipShown() const { return tipShown_; }
    float valueTip() const { return tipValue_; }

protected:
    enum class Drag {
        kNone,
        kBreakpoint,
        kCurve,
        kTimeHandle,
        kSustainStart,
        kSustainEnd,
        kSustainUndecided,
        kAmount,
        kScrollBody,
        kScrollStart,
        kScrollEnd,
    };

    ~CurveEditorBase() override;

    void configure(SkinAttributes& attributes, const std::string& item) override;
    void bindObject(int index) override;
    void objectChanged(int index) override;

    // The kind of object edited, and its breakpoint list inside the working copy.
    virtual bool accepts(const PatchObject& object) const = 0;
    virtual SegmentList* listOf(PatchObject& object) const = 0;
    // After the working copy was read again (the waveshaper takes its switch as the value).
    virtual void workingCopyRead() {}

    // Breakpoint time and the freedom of a breakpoint; curves span 0 … 1 with both ends fixed.
    virtual double breakpointTime(int b) const;
    virtual bool fixedInTime(int b) const;
    virtual float defaultLevel(int b) const;
    // Moves breakpoint b to time t (already snapped); the base keeps the neighbours in place.
    virtual void setBreakpointTime(int b, double t);
    virtual double snapTime(double t) const { return t; }
    // Right press on breakpoint b; false when it may not be removed.
    virtual bool removeBreakpoint(int b);

    // Hooks for the envelope's own parts.
    virtual bool pressBeforeMarkers(DrawContext&, const MouseEvent&) { return false; }
    virtual bool pressAfterMarkers(DrawContext&, const MouseEvent&) { return false; }
    virtual void rightPressElsewhere(DrawContext& context, const MouseEvent& event);
    virtual void dragOther(DrawContext&, const MouseEvent&) {}
    virtual void drawBeforeGrid(DrawContext&) {}
    virtual void drawAfterCurve(DrawContext&) {}
    virtual void drawAfterNames(DrawContext&) {}
    // Plot margins when the skin gives none.
    virtual Rect defaultMargins() const { return Rect{4, 4, 4, 4}; }

    // The working copy; none until an object was read.
    PatchObject* working() { return working_.get(); }
    const PatchObject* working() const { return working_.get(); }
    SegmentList* list() { return working_ ? listOf(*working_) : nullptr; }
    const SegmentList* list() const { return working_ ? listOf(*working_) : nullptr; }
    // Reads the shown object into the working copy; false when it is not of this kind.
    bool readShown();
    // Writes the working copy whole into the shown object and redraws.
    void commit(DrawContext* context);

    void showTip(float value, Point near, bool above);
    void hideTip() { tipShown_ = false; }
    int breakpointAt(Point where) const;
    int curveMarkerAt(Point where) const;
    Rect markerRect(Point centre, int size) const;
    bool drawingEnabled() const { return value_ != 0.0f; }
    Colour curveColour() const { return drawingEnabled() ? curveColour_ : disabledColour_; }

    // Attributes.
    Rect margins_{};
    Ref<Bitmap> alphaBitmap_;
    Ref<Bitmap> bottomBitmap_;
    Ref<BitmapFont> menuFont_;
    int gridX_ = 4;
    int gridY_ = 4;
    int squareSize_ = 6;
    int circleSize_ = 6;
    int offsetPercent_ = 5;
    int tipFontSize_ = 10;
    Colour gridColour_{60, 60, 72, 0};
    Colour curveColour_{240, 200, 80, 0};
    Colour endColour_{250, 250, 250, 0};
    Colour middleColour_{110, 190, 255, 0};
    Colour disabledColour_{110, 110, 110, 0};
    Colour topAxisColour_{100, 100, 116, 0};
    Colour bottomAxisColour_{100, 100, 116, 0};
    Colour fillColour_{24, 24, 32, 0};
    Colour tipForeground_{0, 0, 0, 0};
    Colour tipBackground_{255, 250, 200, 0};
    Rect namesMenu_{};  // relative to the control

    // The drag in progress.
    Drag drag_ = Drag::kNone;
    int dragIndex_ = -1;
    Point anchor_{};
    double anchorTime_ = 0.0;
    float anchorLevel_ = 0.0f;
    bool anchorFine_ = false;
    float curveValue_ = 0.5f;

private:
    void drawGrid(DrawContext& context);
    void drawCurve(DrawContext& context);
    void drawMarkers(DrawContext& context);
    void drawNamesMenu(DrawContext& context);
    void drawTip(DrawContext& context);
    void openNamesMenu();
    void dragBreakpoint(DrawContext& context, const MouseEvent& event);
    void dragCurve(DrawContext& context, const MouseEvent& event);
    void startBreakpointAnchor(Point where, bool fine);

    std::unique_ptr<PatchObject> working_;
    int shown_ = -1;
    Rect clip_{};  // where this draw may paint
    std::vector<int> editable_;
    bool tipShown_ = false;
    float tipValue_ = 0.0f;
    Point tipAt_{};
    bool tipAbove_ = false;
};

// "CurveSegmentDisplayer": a key, velocity or aftertouch curve over 0 … 1.
class CurveSegmentEditor : public CurveEditorBase {
public:
    using CurveEditorBase::CurveEditorBase;

protected:
    ~CurveSegmentEditor() override = default;
    bool accepts(const PatchObject& object) const override;
    SegmentList* listOf(PatchObject& object) const override;
    float defaultLevel(int b) const override;
};

// "WaveshaperDisplayer": the waveshaper's transfer curve; drawn in the disabled colour while the
// waveshaper is switched off. Control-click puts a breakpoint back on the identity line.
class WaveshaperEditor : public CurveEditorBase {
public:
    using CurveEditorBase::CurveEditorBase;

protected:
    ~WaveshaperEditor() override = default;
    bool accepts(const PatchObject& object) const override;
    SegmentList* listOf(PatchObject& object) const override;
    void workingCopyRead() override;
    float defaultLevel(int b) const override;
};

}  // namespace pelko
