#include "editor/controls/curve_editor_base.h"

#include "editor/controls/envelope_operations.h"
#include "editor/skin/bitmap_font.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "params/curve_objects.h"
#include "params/patch_object.h"
#include "params/patch_object_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <typeinfo>
#include <vector>

namespace pelko {
namespace {

int pixel(double v) { return CurveEditorBase::toPixel(v); }

float clamp01(double v) { return static_cast<float>(std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0)); }

float breakpointLevel(const SegmentList& list, int b)
{
    const int n = list.segmentCount();
    if (n == 0) {
        return list.segment(0).startLevel;
    }
    return b < n ? list.segment(b).startLevel : list.segment(n - 1).endLevel;
}

}  // namespace

CurveEditorBase::CurveEditorBase(ControlListener* listener, int tag) : SkinControl(listener, tag)
{
    // The value says whether the curve is live: 0 draws it in the disabled colour.
    value_ = 1.0f;
}

CurveEditorBase::~CurveEditorBase() = default;

int CurveEditorBase::toPixel(double v)
{
    // Positions of stored envelopes with huge or broken times stay far outside every window
    // instead of overflowing.
    constexpr double kFarAway = 1.0e6;
    if (std::isnan(v)) {
        return static_cast<int>(-kFarAway);
    }
    return static_cast<int>(std::lround(std::clamp(v, -kFarAway, kFarAway)));
}

// ---- attributes and binding ---------------------------------------------------------------------

void CurveEditorBase::configure(SkinAttributes& a, const std::string& item)
{
    SkinControl::configure(a, item);
    const Rect fallback = defaultMargins();
    auto integerOr = [&](const char* name, int otherwise) { return a.has(item, name) ? a.integer(item, name) : otherwise; };
    margins_ = Rect{std::max(integerOr("marginLeft", fallback.left), 0), std::max(integerOr("marginTop", fallback.top), 0),
                    std::max(integerOr("marginRight", fallback.right), 0),
                    std::max(integerOr("marginBottom", fallback.bottom), 0)};
    alphaBitmap_ = a.bitmap(item, "alphabitmap");
    bottomBitmap_ = a.bitmap(item, "bottomBitmap");
    menuFont_ = a.bitmapFont(item, "menuFont");
    gridX_ = std::clamp(integerOr("gridX", gridX_), 0, 256);
    gridY_ = std::clamp(integerOr("gridY", gridY_), 0, 256);
    squareSize_ = std::clamp(integerOr("squareMarkersSize", squareSize_), 1, 64);
    circleSize_ = std::clamp(integerOr("circleMarkersSize", circleSize_), 1, 64);
    offsetPercent_ = std::clamp(integerOr("defaultOffsetPercent", offsetPercent_), 0, 45);
    tipFontSize_ = std::clamp(integerOr("dynamicValueFontSize", tipFontSize_), 6, 48);
    a.colour(item, "gridColor", gridColour_);
    a.colour(item, "curveColor", curveColour_);
    a.colour(item, "curveEndColor", endColour_);
    a.colour(item, "curveMiddleColor", middleColour_);
    a.colour(item, "curveDisabledColor", disabledColour_);
    a.colour(item, "curveTopAxisColor", topAxisColour_);
    a.colour(item, "curveBottomAxisColor", bottomAxisColour_);
    a.colour(item, "dynamicValueForeground", tipForeground_);
    a.colour(item, "dynamicValueBackground", tipBackground_);
    namesMenu_ = Rect::ofSize(integerOr("namesMenuX", 4), integerOr("namesMenuY", 2), std::max(integerOr("namesMenuWidth", 120), 0),
                              std::max(integerOr("namesMenuHeight", 12), 0));
}

void CurveEditorBase::bindObject(int index)
{
    SkinControl::bindObject(index);
    // An object's class never changes, so whether it is of this editor's kind is asked once.
    bool fits = false;
    if (services_ != nullptr) {
        services_->readObject(index, [&](const PatchObject& object) { fits = accepts(object); });
    }
    if (fits && std::find(editable_.begin(), editable_.end(), index) == editable_.end()) {
        editable_.push_back(index);
    }
    if ((shown_ < 0 || !working_) && !editable_.empty()) {
        shown_ = editable_.front();
        readShown();
    }
}

void CurveEditorBase::objectChanged(int index)
{
    if (index == shown_) {
        readShown();
    }
    setDirty(true);
}

void CurveEditorBase::showObject(int index)
{
    if (index == shown_) {
        return;
    }
    if (std::find(editable_.begin(), editable_.end(), index) == editable_.end()) {
        return;
    }
    shown_ = index;
    working_.reset();
    drag_ = Drag::kNone;
    readShown();
    redraw(nullptr);
}

const SegmentList* CurveEditorBase::shownList() const { return list(); }

bool CurveEditorBase::readShown()
{
    if (services_ == nullptr || shown_ < 0) {
        return false;
    }
    bool read = false;
    services_->readObject(shown_, [&](const PatchObject& object) {
        if (!accepts(object)) {
            return;
        }
        if (working_ && typeid(*working_) == typeid(object)) {
            working_->copyFrom(object);
        } else {
            working_ = object.clone();
        }
        read = true;
    });
    if (read) {
        workingCopyRead();
    }
    return read;
}

void CurveEditorBase::commit(DrawContext* context)
{
    if (!working_ || services_ == nullptr || shown_ < 0) {
        return;
    }
    const PatchObject& edited = *working_;
    services_->editObject(shown_, [&](PatchObject& object) {
        if (accepts(object)) {
            object.copyFrom(edited);
        }
    });
    // What the object kept (it may have normalised the edit) is what the editor shows.
    readShown();
    redraw(context);
}

// ---- geometry -----------------------------------------------------------------------------------

Rect CurveEditorBase::plotArea() const
{
    Rect r{rect_.left + margins_.left, rect_.top + margins_.top, rect_.right - margins_.right, rect_.bottom - margins_.bottom};
    if (r.right <= r.left) {
        r.right = r.left + 1;
    }
    // A control given little room keeps a plot one can still edit: the plot takes the room from
    // its bottom margin first, then from its top margin, and stays inside the control.
    const int wanted = std::min(kMinPlotHeight, std::max(rect_.height(), 1));
    if (r.height() < wanted) {
        r.bottom = std::min(rect_.bottom, r.top + wanted);
        if (r.height() < wanted) {
            r.top = r.bottom - wanted;
        }
    }
    return r;
}

int CurveEditorBase::levelOffset() const { return plotArea().height() * offsetPercent_ / 100; }

double CurveEditorBase::xOfTime(double t) const
{
    const Rect p = plotArea();
    return p.left + t * p.width();
}

double CurveEditorBase::timeOfX(double x) const
{
    const Rect p = plotArea();
    return (x - p.left) / p.width();
}

double CurveEditorBase::timePerPixel() const { return 1.0 / plotArea().width(); }

double CurveEditorBase::yOfLevel(double level) const
{
    const Rect p = plotArea();
    return p.top + levelOffset() + (1.0 - level) / levelScale();
}

double CurveEditorBase::levelScale() const
{
    const int usable = std::max(plotArea().height() - 2 * levelOffset(), 1);
    return 1.0 / usable;
}

Point CurveEditorBase::breakpointPoint(int b) const
{
    const SegmentList* l = list();
    if (l == nullptr) {
        return {};
    }
    return Point{pixel(xOfTime(breakpointTime(b))), pixel(yOfLevel(breakpointLevel(*l, b)))};
}

Point CurveEditorBase::curveMarkerPoint(int segment) const
{
    const SegmentList* l = list();
    if (l == nullptr || segment < 0 || segment >= l->segmentCount()) {
        return {};
    }
    const double middle = (breakpointTime(segment) + breakpointTime(segment + 1)) * 0.5;
    return Point{pixel(xOfTime(middle)), pixel(yOfLevel(l->segment(segment).curve))};
}

Rect CurveEditorBase::markerRect(Point centre, int size) const
{
    const int half = size / 2;
    return Rect::ofSize(centre.h - half, centre.v - half, size, size);
}

double CurveEditorBase::breakpointTime(int b) const
{
    const SegmentList* l = list();
    if (l == nullptr || b <= 0) {
        return 0.0;
    }
    return b >= l->segmentCount() ? 1.0 : l->segment(b).startTime;
}

bool CurveEditorBase::fixedInTime(int b) const
{
    const SegmentList* l = list();
    return l == nullptr || b <= 0 || b >= l->segmentCount();
}

float CurveEditorBase::defaultLevel(int) const { return 1.0f; }

void CurveEditorBase::setBreakpointTime(int b, double t)
{
    SegmentList* l = list();
    if (l == nullptr || fixedInTime(b)) {
        return;
    }
    const double before = breakpointTime(b - 1);
    const double after = breakpointTime(b + 1);
    t = std::clamp(t, before, std::max(before, after));
    l->setDuration(b - 1, static_cast<float>(t - before));
    l->setDuration(b, static_cast<float>(after - t));
}

bool CurveEditorBase::removeBreakpoint(int b)
{
    SegmentList* l = list();
    if (l == nullptr || b <= 0 || b >= l->segmentCount()) {
        return false;
    }
    return l->deletePoint(b - 1);
}

int CurveEditorBase::breakpointAt(Point where) const
{
    const SegmentList* l = list();
    if (l == nullptr || l->segmentCount() == 0) {
        return -1;
    }
    const Rect p = plotArea();
    // Markers of breakpoints that move freely win over fixed ones; among equals the later one,
    // so that breakpoints stacked by zero durations can be pulled apart to the right.
    int best = -1;
    int bestFreedom = -1;
    for (int b = 0; b <= l->segmentCount(); ++b) {
        const Point centre = breakpointPoint(b);
        if (centre.h < p.left - squareSize_ || centre.h > p.right + squareSize_) {
            continue;
        }
        const Rect hit = markerRect(centre, squareSize_ + 4);
        if (!hit.contains(where)) {
            continue;
        }
        const int freedom = fixedInTime(b) ? 1 : 2;
        if (freedom >= bestFreedom) {
            best = b;
            bestFreedom = freedom;
        }
    }
    return best;
}

int CurveEditorBase::curveMarkerAt(Point where) const
{
    const SegmentList* l = list();
    if (l == nullptr) {
        return -1;
    }
    const Rect p = plotArea();
    for (int i = 0; i < l->segmentCount(); ++i) {
        const Point centre = curveMarkerPoint(i);
        if (centre.h < p.left || centre.h > p.right) {
            continue;
        }
        if (markerRect(centre, circleSize_ + 4).contains(where)) {
            return i;
        }
    }
    return -1;
}

// ---- drawing ------------------------------------------------------------------------------------

void CurveEditorBase::draw(DrawContext& context)
{
    const Rect p = plotArea();
    // Drawing stays inside the control and inside whatever area the caller is redrawing.
    const bool hadClip = context.hasClip();
    const Rect outerClip = context.clip();
    clip_ = hadClip ? rect_.intersection(outerClip) : rect_;
    context.setClip(clip_);
    if (alphaBitmap_) {
        context.setFillColour(fillColour_);
        context.fillRect(rect_);
        alphaBitmap_->draw(context, rect_);
    } else {
        context.setFillColour(fillColour_);
        context.fillRect(rect_);
    }
    if (bottomBitmap_) {
        bottomBitmap_->drawTransparent(context, Rect::ofSize(p.left, p.bottom, bottomBitmap_->width(), bottomBitmap_->height()));
    }
    context.setLineStyle(LineStyle::kSolid);
    context.setDrawMode(DrawMode::kCopy);
    context.setLineWidth(1);
    const int top = pixel(yOfLevel(1.0));
    const int bottom = pixel(yOfLevel(0.0));
    context.setPenColour(topAxisColour_);
    context.moveTo(Point{p.left, top});
    context.lineTo(Point{p.right, top});
    context.setPenColour(bottomAxisColour_);
    context.moveTo(Point{p.left, bottom});
    context.lineTo(Point{p.right, bottom});

    drawBeforeGrid(context);
    drawGrid(context);
    drawCurve(context);
    drawMarkers(context);
    context.setClip(clip_);
    drawAfterCurve(context);
    drawNamesMenu(context);
    drawAfterNames(context);
    drawTip(context);
    if (hadClip) {
        context.setClip(outerClip);
    } else {
        context.resetClip();
    }
    setDirty(false);
}

void CurveEditorBase::drawGrid(DrawContext& context)
{
    const Rect p = plotArea();
    context.setPenColour(gridColour_);
    for (int i = 1; i < gridX_; ++i) {
        const int x = p.left + p.width() * i / gridX_;
        context.moveTo(Point{x, p.top});
        context.lineTo(Point{x, p.bottom});
    }
    for (int j = 1; j < gridY_; ++j) {
        const int y = pixel(yOfLevel(static_cast<double>(j) / gridY_));
        context.moveTo(Point{p.left, y});
        context.lineTo(Point{p.right, y});
    }
}

void CurveEditorBase::drawCurve(DrawContext& context)
{
    const SegmentList* l = list();
    if (l == nullptr) {
        return;
    }
    const Rect p = plotArea();
    const int reach = std::max(squareSize_, circleSize_);
    context.setClip(Rect{p.left - reach, rect_.top, p.right + reach, rect_.bottom}.intersection(clip_));
    context.setPenColour(curveColour());
    std::vector<float> samples;
    std::vector<Point> points;
    for (int i = 0; i < l->segmentCount(); ++i) {
        const double x0 = xOfTime(breakpointTime(i));
        const double x1 = xOfTime(breakpointTime(i + 1));
        if (!(x1 >= p.left - 1) || !(x0 <= p.right + 1)) {
            continue;
        }
        const EnvelopeSegment& s = l->segment(i);
        const double span = std::clamp(x1 - x0, 0.0, static_cast<double>(p.width()) * 4.0);
        const int n = std::clamp(static_cast<int>(span / 3.0), 1, 256);
        points.clear();
        points.push_back(Point{pixel(x0), pixel(yOfLevel(s.startLevel))});
        if (n < 2) {
            points.push_back(Point{pixel(x1), pixel(yOfLevel(s.endLevel))});
        } else {
            samples.resize(static_cast<std::size_t>(n));
            l->sampleSegment(i, n, samples.data());
            for (int k = 0; k < n; ++k) {
                const double x = x0 + (x1 - x0) * (k + 1) / n;
                points.push_back(Point{pixel(x), pixel(yOfLevel(samples[static_cast<std::size_t>(k)]))});
            }
        }
        context.polyline(points);
    }
}

void CurveEditorBase::drawMarkers(DrawContext& context)
{
    const SegmentList* l = list();
    if (l == nullptr || l->segmentCount() == 0) {
        return;
    }
    const Rect p = plotArea();
    const bool live = drawingEnabled();
    context.setFillColour(live ? middleColour_ : disabledColour_);
    for (int i = 0; i < l->segmentCount(); ++i) {
        const Point c = curveMarkerPoint(i);
        if (c.h >= p.left && c.h <= p.right) {
            context.fillEllipse(markerRect(c, circleSize_));
        }
    }
    context.setFillColour(live ? endColour_ : disabledColour_);
    for (int b = 0; b <= l->segmentCount(); ++b) {
        const Point c = breakpointPoint(b);
        if (c.h >= p.left - squareSize_ && c.h <= p.right + squareSize_) {
            context.fillRect(markerRect(c, squareSize_));
        }
    }
}

void CurveEditorBase::drawNamesMenu(DrawContext& context)
{
    if (!namesMenuShown() || working_ == nullptr) {
        return;
    }
    const Rect r = namesMenu_.offsetBy(rect_.left, rect_.top);
    const char* name = working_->displayName();
    if (menuFont_) {
        menuFont_->draw(context, name, r);
    } else {
        context.setFont(5);
        context.setFontColour(curveColour_);
        context.drawString(name, r, false, kAlignLeft);
    }
}

void CurveEditorBase::showTip(float value, Point near, bool above)
{
    tipShown_ = true;
    tipValue_ = value;
    tipAt_ = near;
    tipAbove_ = above;
}

void CurveEditorBase::drawTip(DrawContext& context)
{
    if (!tipShown_) {
        return;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%03.2f", static_cast<double>(tipValue_));
    context.setFont(5, tipFontSize_);
    const int width = context.stringWidth(text) + 6;
    const int height = tipFontSize_ + 4;
    const int x = tipAt_.h - rect_.left <= 50 ? tipAt_.h + 6 : tipAt_.h - 2 - width;
    const int y = tipAbove_ ? tipAt_.v - height - 2 : tipAt_.v + 2;
    Rect box = Rect::ofSize(x, y, width, height);
    context.setFillColour(tipBackground_);
    context.setFontColour(tipForeground_);
    context.drawString(text, box, true, kAlignCenter);
}

// ---- mouse --------------------------------------------------------------------------------------

void CurveEditorBase::openNamesMenu()
{
    if (frame_ == nullptr) {
        return;
    }
    const std::vector<int> editable = editable_;
    std::vector<MenuItem> items;
    int preselected = -1;
    for (std::size_t i = 0; i < editable.size(); ++i) {
        std::string name;
        services_->readObject(editable[i], [&](const PatchObject& object) { name = object.displayName(); });
        MenuItem item = MenuItem::entry(name);
        item.checked = editable[i] == shown_;
        if (item.checked) {
            preselected = static_cast<int>(i);
        }
        items.push_back(std::move(item));
    }
    const Rect r = namesMenu_.offsetBy(rect_.left, rect_.top);
    const Point origin = parentOrigin();
    frame_->openPopupMenu(std::move(items), Point{origin.h + r.left, origin.v + r.bottom},
                          [this, keep = Ref<View>::share(this), editable](int chosen) {
                              if (chosen >= 0 && chosen < static_cast<int>(editable.size())) {
                                  showObject(editable[static_cast<std::size_t>(chosen)]);
                              }
                          },
                          preselected);
}

void CurveEditorBase::startBreakpointAnchor(Point where, bool fine)
{
    anchor_ = where;
    anchorTime_ = breakpointTime(dragIndex_);
    anchorLevel_ = breakpointLevel(*list(), dragIndex_);
    anchorFine_ = fine;
}

MouseResponse CurveEditorBase::mouse(DrawContext& context, const MouseEvent& event)
{
    if (!working_) {
        readShown();
    }
    drag_ = Drag::kNone;
    const bool control = (event.buttons & kMouseControl) != 0;
    const bool shift = (event.buttons & kMouseShift) != 0;
    if ((event.buttons & kMouseLeft) != 0) {
        if (pressBeforeMarkers(context, event)) {
            return drag_ != Drag::kNone ? MouseResponse::kTrack : MouseResponse::kHandled;
        }
        if (namesMenuShown() && namesMenu_.offsetBy(rect_.left, rect_.top).contains(event.where)) {
            openNamesMenu();
            return MouseResponse::kHandled;
        }
        SegmentList* l = list();
        if (l == nullptr) {
            return MouseResponse::kHandled;
        }
        if (int b = breakpointAt(event.where); b >= 0) {
            if (control) {
                const float level = defaultLevel(b);
                if (b == l->segmentCount()) {
                    l->setEndLevel(b - 1, level);
                } else {
                    l->setBreakpointLevel(b, level);
                }
                showTip(breakpointLevel(*l, b), event.where, false);
                commit(&context);
                return MouseResponse::kTrack;  // the release hides the tip
            }
            drag_ = Drag::kBreakpoint;
            dragIndex_ = b;
            startBreakpointAnchor(event.where, shift);
            showTip(anchorLevel_, event.where, anchorLevel_ <= 0.5f);
            redraw(&context);
            return MouseResponse::kTrack;
        }
        if (int i = curveMarkerAt(event.where); i >= 0) {
            dragIndex_ = i;
            if (control) {
                l->setCurve(i, 0.5f);
                showTip(0.5f, event.where, true);
                commit(&context);
                return MouseResponse::kTrack;
            }
            drag_ = Drag::kCurve;
            anchor_ = event.where;
            curveValue_ = l->segment(i).curve;
            showTip(curveValue_, event.where, curveValue_ <= 0.5f);
            redraw(&context);
            return MouseResponse::kTrack;
        }
        if (pressAfterMarkers(context, event)) {
            return drag_ != Drag::kNone ? MouseResponse::kTrack : MouseResponse::kHandled;
        }
        return MouseResponse::kHandled;
    }
    if ((event.buttons & kMouseRight) != 0) {
        if (int b = breakpointAt(event.where); b >= 0) {
            if (removeBreakpoint(b)) {
                commit(&context);
            }
            return MouseResponse::kHandled;
        }
        rightPressElsewhere(context, event);
        return MouseResponse::kHandled;
    }
    return MouseResponse::kNotHandled;
}

void CurveEditorBase::rightPressElsewhere(DrawContext& context, const MouseEvent& event)
{
    // Curves have no context menu: a right press off the markers adds a breakpoint on the curve.
    SegmentList* l = list();
    const double t = timeOfX(event.where.h);
    if (l == nullptr || !(t > 0.0 && t < 1.0)) {
        return;
    }
    if (l->segmentCount() == 0) {
        EnvelopeSegment whole;
        whole.duration = 1.0f;
        whole.startLevel = whole.endLevel = clamp01(1.0 - (event.where.v - plotArea().top - levelOffset()) * levelScale());
        l->assign(1, &whole);
    } else if (l->insertPoint(static_cast<float>(t), envelope_edit::levelAt(*l, t)) < 0) {
        return;
    }
    commit(&context);
}

void CurveEditorBase::mouseMoved(DrawContext& context, const MouseEvent& event)
{
    switch (drag_) {
    case Drag::kNone:
        return;
    case Drag::kBreakpoint:
        dragBreakpoint(context, event);
        return;
    case Drag::kCurve:
        dragCurve(context, event);
        return;
    default:
        dragOther(context, event);
        return;
    }
}

void CurveEditorBase::mouseReleased(DrawContext& context, const MouseEvent&)
{
    // The last motion placed what was dragged; the release only ends the drag.
    drag_ = Drag::kNone;
    hideTip();
    redraw(&context);
}

void CurveEditorBase::dragBreakpoint(DrawContext& context, const MouseEvent& event)
{
    SegmentList* l = list();
    if (l == nullptr || dragIndex_ < 0 || dragIndex_ > l->segmentCount()) {
        drag_ = Drag::kNone;
        return;
    }
    const bool fine = (event.buttons & kMouseShift) != 0;
    if (fine != anchorFine_) {
        // Switching between fine and normal steps continues from where the breakpoint is.
        startBreakpointAnchor(event.where, fine);
        return;
    }
    const double factor = fine ? 0.1 : 1.0;
    if (!fixedInTime(dragIndex_)) {
        double t = anchorTime_ + (event.where.h - anchor_.h) * timePerPixel() * factor;
        if (!fine) {
            t = snapTime(t);
        }
        setBreakpointTime(dragIndex_, t);
    }
    const float level = clamp01(anchorLevel_ - (event.where.v - anchor_.v) * levelScale() * factor);
    if (dragIndex_ == l->segmentCount()) {
        l->setEndLevel(dragIndex_ - 1, level);
    } else {
        l->setBreakpointLevel(dragIndex_, level);
    }
    showTip(level, event.where, level <= 0.5f);
    commit(&context);
}

void CurveEditorBase::dragCurve(DrawContext& context, const MouseEvent& event)
{
    SegmentList* l = list();
    if (l == nullptr || dragIndex_ < 0 || dragIndex_ >= l->segmentCount()) {
        drag_ = Drag::kNone;
        return;
    }
    float u = curveValue_;
    if ((event.buttons & kMouseShift) != 0) {
        if (event.where.v < anchor_.v) {
            u += 0.0001f;
        } else if (event.where.v > anchor_.v) {
            u -= 0.0001f;
        }
    } else {
        u = static_cast<float>(1.0 - (event.where.v - plotArea().top - levelOffset()) * levelScale());
    }
    anchor_ = event.where;
    curveValue_ = clamp01(u);
    if (curveValue_ == l->segment(dragIndex_).curve) {
        return;
    }
    l->setCurve(dragIndex_, curveValue_);
    showTip(curveValue_, event.where, curveValue_ <= 0.5f);
    commit(&context);
}

// ---- the curve and waveshaper editors -------------------------------------------------------------

bool CurveSegmentEditor::accepts(const PatchObject& object) const { return dynamic_cast<const CurveObject*>(&object) != nullptr; }

SegmentList* CurveSegmentEditor::listOf(PatchObject& object) const
{
    auto* curve = dynamic_cast<CurveObject*>(&object);
    return curve != nullptr ? &curve->curve() : nullptr;
}

float CurveSegmentEditor::defaultLevel(int) const
{
    // Pans and detuning are neutral in the middle; every other curve at full scale.
    const int index = shownObject();
    const bool centred = (index >= object::kFilterKeyPan && index < object::kFilterKeyPan + 2) ||
                         (index >= object::kFilterVelocityPan && index < object::kFilterVelocityPan + 2) ||
                         (index >= object::kOscKeyDetune && index < object::kOscKeyDetune + 6);
    return centred ? 0.5f : 1.0f;
}

bool WaveshaperEditor::accepts(const PatchObject& object) const { return dynamic_cast<const WaveshaperObject*>(&object) != nullptr; }

SegmentList* WaveshaperEditor::listOf(PatchObject& object) const
{
    auto* shaper = dynamic_cast<WaveshaperObject*>(&object);
    return shaper != nullptr ? &shaper->curve() : nullptr;
}

void WaveshaperEditor::workingCopyRead()
{
    const auto* shaper = dynamic_cast<const WaveshaperObject*>(working());
    value_ = shaper != nullptr && shaper->curve().on() ? 1.0f : 0.0f;
}

float WaveshaperEditor::defaultLevel(int b) const { return clamp01(breakpointTime(b)); }

}  // namespace pelko
