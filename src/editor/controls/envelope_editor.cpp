#include "editor/controls/envelope_editor.h"

#include "editor/controls/envelope_clipboard.h"
#include "editor/controls/envelope_operations.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "params/envelope_object.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "storage/side_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelko {
namespace {

// The longest time span the view works with; stored envelopes may claim more.
constexpr double kLongestSpan = 1.0e7;

int pixel(double v) { return CurveEditorBase::toPixel(v); }

double finiteSpan(double t) { return std::isfinite(t) ? std::clamp(t, 0.0, kLongestSpan) : kLongestSpan; }

constexpr int kHandleHalfWidth = 4;  // handles are triangles 8 pixels wide
constexpr int kHandleHeight = 6;
constexpr int kTimeHandleRise = 19;  // apex above the control's bottom edge

const FileChoice kLoadChoice{"Load Envelope", "Envelopes", ".env", "EnvPath", false};
const FileChoice kSaveChoice{"Save Envelope", "Envelopes", ".env", "EnvPath", true};

}  // namespace

EnvelopeEditor::EnvelopeEditor(ControlListener* listener, int tag) : CurveEditorBase(listener, tag) {}

void EnvelopeEditor::configure(SkinAttributes& a, const std::string& item)
{
    CurveEditorBase::configure(a, item);
    syncBitmap_ = a.bitmap(item, "syncBitmap");
    a.colour(item, "gridTextColor", gridTextColour_);
    if (a.has(item, "gridTextFont")) {
        gridTextFont_ = a.systemFont(item, "gridTextFont");
    }
    a.colour(item, "sustainAreaBackgroundColor", sustainArea_);
    a.colour(item, "sustainHandleBackgroundColor", sustainHandleFill_);
    a.colour(item, "sustainHandleForegroundColor", sustainHandleOutline_);
    a.colour(item, "timeHandleBackgroundColor", timeHandleFill_);
    a.colour(item, "timeHandleForegroundColor", timeHandleOutline_);
    scrollbarPosition_ = a.has(item, "scrollbarPosition") ? a.integer(item, "scrollbarPosition") : -1;
    scrollbarSpacing_ = std::max(a.integer(item, "scrollbarSpacing"), 0);
    a.colour(item, "scrollbarColor", scrollbarColour_);
    a.colour(item, "handleColor", handleColour_);
    if (a.has(item, "handleWidth")) {
        handleWidth_ = std::clamp(a.integer(item, "handleWidth"), 1, 32);
    }
}

bool EnvelopeEditor::accepts(const PatchObject& object) const { return dynamic_cast<const EnvelopeObject*>(&object) != nullptr; }

SegmentList* EnvelopeEditor::listOf(PatchObject& object) const
{
    auto* envelope = dynamic_cast<EnvelopeObject*>(&object);
    return envelope != nullptr ? &envelope->shape() : nullptr;
}

EnvelopeShape* EnvelopeEditor::editedShape()
{
    auto* envelope = dynamic_cast<EnvelopeObject*>(working());
    return envelope != nullptr ? &envelope->shape() : nullptr;
}

const EnvelopeShape* EnvelopeEditor::shape() const
{
    const auto* envelope = dynamic_cast<const EnvelopeObject*>(working());
    return envelope != nullptr ? &envelope->shape() : nullptr;
}

void EnvelopeEditor::workingCopyRead()
{
    // The first envelope shown is fitted to the plot; later reads keep the view.
    if (!viewSet_) {
        fit();
    }
}

// ---- the time axis ------------------------------------------------------------------------------

double EnvelopeEditor::xOfTime(double t) const { return plotArea().left + t * kPixelsPerUnitAtZoom1 * zoom_ - scroll_; }

double EnvelopeEditor::timeOfX(double x) const { return (x - plotArea().left + scroll_) / (kPixelsPerUnitAtZoom1 * zoom_); }

double EnvelopeEditor::timePerPixel() const { return 1.0 / (kPixelsPerUnitAtZoom1 * zoom_); }

void EnvelopeEditor::setView(double zoom, double scrollPixels)
{
    zoom_ = std::isfinite(zoom) ? std::clamp(zoom, kMinZoom, kMaxZoom) : 1.0;
    scroll_ = std::isfinite(scrollPixels) ? std::clamp(scrollPixels, 0.0, kLongestSpan * kPixelsPerUnitAtZoom1 * zoom_) : 0.0;
    viewSet_ = true;
    setDirty(true);
}

void EnvelopeEditor::fit()
{
    const EnvelopeShape* s = shape();
    const double total = s != nullptr ? finiteSpan(s->totalDuration()) : 0.0;
    const double zoom = total > 0.0 ? plotArea().width() / (total * kPixelsPerUnitAtZoom1) : 1.0;
    setView(zoom, 0.0);
}

double EnvelopeEditor::snapStep() const
{
    const EnvelopeShape* s = shape();
    return s != nullptr && s->tempoSynced() ? kSecondsPerBeat / 32.0 : 0.0;
}

double EnvelopeEditor::snapTime(double t) const
{
    const double step = snapStep();
    return step > 0.0 ? std::round(t / step) * step : t;
}

int EnvelopeEditor::rulerSubdivision() const
{
    if (zoom_ > 0.5) {
        return 8;
    }
    if (zoom_ > 0.25) {
        return 4;
    }
    return zoom_ > 0.125 ? 2 : 1;
}

double EnvelopeEditor::contentSpan() const
{
    const EnvelopeShape* s = shape();
    const double total = s != nullptr ? finiteSpan(s->totalDuration()) : 0.0;
    const double viewEnd = timeOfX(plotArea().right);
    return std::max({total * 1.1, total + 0.1, viewEnd});
}

// ---- breakpoints ----------------------------------------------------------------------------------

double EnvelopeEditor::breakpointTime(int b) const
{
    const EnvelopeShape* s = shape();
    return s != nullptr ? envelope_edit::breakpointTime(*s, b) : 0.0;
}

bool EnvelopeEditor::fixedInTime(int b) const { return b <= 0; }

void EnvelopeEditor::setBreakpointTime(int b, double t)
{
    EnvelopeShape* s = editedShape();
    if (s == nullptr || b <= 0 || b > s->segmentCount()) {
        return;
    }
    // The segment that ends at the breakpoint gets longer or shorter; the later ones follow.
    const double start = s->segment(b - 1).startTime;
    s->setDuration(b - 1, static_cast<float>(std::clamp(t - start, 0.0, kLongestSpan)));
}

bool EnvelopeEditor::removeBreakpoint(int b)
{
    EnvelopeShape* s = editedShape();
    return s != nullptr && b >= 1 && envelope_edit::removeSegment(*s, b - 1);
}

int EnvelopeEditor::nearestBreakpoint(int x) const
{
    const EnvelopeShape* s = shape();
    if (s == nullptr) {
        return -1;
    }
    int best = 0;
    double bestDistance = INFINITY;
    for (int b = 0; b <= s->segmentCount(); ++b) {
        const double d = std::fabs(xOfTime(breakpointTime(b)) - x);
        if (d < bestDistance) {
            best = b;
            bestDistance = d;
        }
    }
    return best;
}

// ---- areas --------------------------------------------------------------------------------------

Rect EnvelopeEditor::syncButtonArea() const
{
    int width = 22;
    int height = 11;
    if (syncBitmap_) {
        width = syncBitmap_->width();
        height = syncBitmap_->height() / 2;
    }
    return Rect::ofSize(rect_.right - width - 2, rect_.bottom - height - 2, width, height);
}

Rect EnvelopeEditor::amountBarArea() const
{
    const Rect p = plotArea();
    Rect bar{p.right + 4, p.top, rect_.right - 4, p.bottom};
    return bar.width() >= 3 ? bar : Rect{};
}

Rect EnvelopeEditor::scrollTrackArea() const
{
    const Rect p = plotArea();
    const int top = scrollbarPosition_ >= 0 ? rect_.top + scrollbarPosition_ : rect_.bottom - handleWidth_ - 4;
    const int right = std::min(p.right, syncButtonArea().left - 4) - scrollbarSpacing_;
    return Rect{p.left + scrollbarSpacing_, top, std::max(right, p.left + scrollbarSpacing_ + 8), top + handleWidth_ + 2};
}

Rect EnvelopeEditor::scrollHandleArea() const
{
    const Rect track = scrollTrackArea();
    const double content = contentSpan();
    const double start = std::max(timeOfX(plotArea().left), 0.0);
    const double end = timeOfX(plotArea().right);
    int left = track.left + pixel(start / content * track.width());
    int right = track.left + pixel(end / content * track.width());
    right = std::clamp(std::max(right, left + 6), track.left, track.right);
    left = std::min(left, right - 6);
    return Rect{left, track.top + 1, right, track.bottom - 1};
}

Rect EnvelopeEditor::sustainHandleArea(bool end) const
{
    const EnvelopeShape* s = shape();
    if (s == nullptr) {
        return {};
    }
    const envelope_edit::LoopSpan span = envelope_edit::loopSpan(*s);
    const int x = pixel(xOfTime(breakpointTime(end ? span.end : span.start)));
    const int top = plotArea().bottom + 1;
    return Rect{x - kHandleHalfWidth, top, x + kHandleHalfWidth, top + kHandleHeight};
}

Rect EnvelopeEditor::timeHandleArea(int i) const
{
    const EnvelopeShape* s = shape();
    if (s == nullptr || i < 0 || i >= s->segmentCount()) {
        return {};
    }
    const EnvelopeSegment& segment = s->segment(i);
    const double t = segment.startTime + static_cast<double>(s->velocityTimeSensitivity(i)) * segment.duration;
    const int x = pixel(xOfTime(t));
    const Rect p = plotArea();
    if (x < p.left || x > p.right) {
        return {};
    }
    const int top = rect_.bottom - kTimeHandleRise;
    return Rect{x - kHandleHalfWidth, top, x + kHandleHalfWidth, top + kHandleHeight};
}

// ---- mouse --------------------------------------------------------------------------------------

bool EnvelopeEditor::pressBeforeMarkers(DrawContext& context, const MouseEvent& event)
{
    EnvelopeShape* s = editedShape();
    if (s == nullptr) {
        return false;
    }
    if (syncButtonArea().contains(event.where)) {
        s->setTimeMode(s->tempoSynced() ? 0 : 1);
        commit(&context);
        return true;
    }
    if (amountBarArea().contains(event.where)) {
        drag_ = Drag::kAmount;
        dragOther(context, event);
        return true;
    }
    for (int i = 0; i < s->segmentCount(); ++i) {
        const Rect handle = timeHandleArea(i);
        if (!handle.empty() && handle.contains(event.where)) {
            drag_ = Drag::kTimeHandle;
            dragIndex_ = i;
            return true;
        }
    }
    const bool onStart = sustainHandleArea(false).contains(event.where);
    const bool onEnd = sustainHandleArea(true).contains(event.where);
    if (onStart || onEnd) {
        const envelope_edit::LoopSpan span = envelope_edit::loopSpan(*s);
        drag_ = onStart && onEnd && span.start == span.end ? Drag::kSustainUndecided : onEnd ? Drag::kSustainEnd : Drag::kSustainStart;
        anchor_ = event.where;
        sustainMark_ = drag_ == Drag::kSustainStart ? span.start : span.end;
        redraw(&context);
        return true;
    }
    return false;
}

bool EnvelopeEditor::pressAfterMarkers(DrawContext&, const MouseEvent& event)
{
    const Rect track = scrollTrackArea();
    if (!track.contains(event.where)) {
        return false;
    }
    const Rect handle = scrollHandleArea();
    anchor_ = event.where;
    anchorScroll_ = scroll_;
    anchorViewStart_ = timeOfX(plotArea().left);
    anchorViewEnd_ = timeOfX(plotArea().right);
    anchorContent_ = contentSpan();
    if (std::abs(event.where.h - handle.left) <= 2) {
        drag_ = Drag::kScrollStart;
    } else if (std::abs(event.where.h - handle.right) <= 2) {
        drag_ = Drag::kScrollEnd;
    } else {
        drag_ = Drag::kScrollBody;
    }
    return true;
}

void EnvelopeEditor::dragOther(DrawContext& context, const MouseEvent& event)
{
    EnvelopeShape* s = editedShape();
    if (s == nullptr) {
        drag_ = Drag::kNone;
        return;
    }
    switch (drag_) {
    case Drag::kAmount: {
        const Rect bar = amountBarArea();
        const double depth = 1.0 - static_cast<double>(event.where.v - bar.top) / std::max(bar.height(), 1);
        const float value = static_cast<float>(std::clamp(depth, 0.0, 1.0));
        showTip(value, event.where, value < 0.8f);
        if (value != s->depth()) {
            s->setDepth(value);
            commit(&context);
        } else {
            redraw(&context);
        }
        return;
    }
    case Drag::kTimeHandle: {
        if (dragIndex_ < 0 || dragIndex_ >= s->segmentCount()) {
            return;
        }
        const EnvelopeSegment& segment = s->segment(dragIndex_);
        if (!(segment.duration > 0.0f)) {
            return;
        }
        const double fraction = (timeOfX(event.where.h) - segment.startTime) / segment.duration;
        const float value = static_cast<float>(std::clamp(fraction, 0.0, 1.0));
        showTip(value, event.where, true);
        if (value != s->velocityTimeSensitivity(dragIndex_)) {
            s->setVelocityTimeSensitivity(dragIndex_, value);
            commit(&context);
        } else {
            redraw(&context);
        }
        return;
    }
    case Drag::kSustainUndecided:
        if (event.where.h == anchor_.h) {
            return;
        }
        drag_ = event.where.h < anchor_.h ? Drag::kSustainStart : Drag::kSustainEnd;
        [[fallthrough]];
    case Drag::kSustainStart:
    case Drag::kSustainEnd: {
        const int b = nearestBreakpoint(event.where.h);
        const bool moved = drag_ == Drag::kSustainEnd ? envelope_edit::moveLoopEnd(*s, b) : envelope_edit::moveLoopStart(*s, b);
        const envelope_edit::LoopSpan span = envelope_edit::loopSpan(*s);
        sustainMark_ = drag_ == Drag::kSustainEnd ? span.end : span.start;
        if (moved) {
            commit(&context);
        } else {
            redraw(&context);
        }
        return;
    }
    case Drag::kScrollBody: {
        const Rect track = scrollTrackArea();
        const double pixelsPerTrackPixel = anchorContent_ * kPixelsPerUnitAtZoom1 * zoom_ / std::max(track.width(), 1);
        setView(zoom_, anchorScroll_ + (event.where.h - anchor_.h) * pixelsPerTrackPixel);
        redraw(&context);
        return;
    }
    case Drag::kScrollStart:
    case Drag::kScrollEnd: {
        const Rect track = scrollTrackArea();
        const double moved = (event.where.h - anchor_.h) * anchorContent_ / std::max(track.width(), 1);
        double start = anchorViewStart_;
        double end = anchorViewEnd_;
        (drag_ == Drag::kScrollStart ? start : end) += moved;
        const double smallest = plotArea().width() / (kPixelsPerUnitAtZoom1 * kMaxZoom);
        if (drag_ == Drag::kScrollStart) {
            start = std::clamp(start, 0.0, end - smallest);
        } else {
            end = std::max(end, start + smallest);
        }
        const double zoom = plotArea().width() / ((end - start) * kPixelsPerUnitAtZoom1);
        setView(zoom, start * kPixelsPerUnitAtZoom1 * std::clamp(zoom, kMinZoom, kMaxZoom));
        redraw(&context);
        return;
    }
    default:
        return;
    }
}

void EnvelopeEditor::rightPressElsewhere(DrawContext&, const MouseEvent& event)
{
    if (frame_ == nullptr) {
        return;
    }
    const double time = timeOfX(event.where.h);
    const Point origin = parentOrigin();
    frame_->openPopupMenu(menuItems(), Point{origin.h + event.where.h, origin.v + event.where.v},
                          // The menu keeps the editor alive: its page may close while the menu is open.
                          [this, keep = Ref<View>::share(this), time](int chosen) {
                              if (chosen >= 0) {
                                  runMenuEntry(chosen, time);
                              }
                          });
}

// ---- the context menu ---------------------------------------------------------------------------

std::vector<MenuItem> EnvelopeEditor::menuItems() const
{
    MenuItem paste = MenuItem::entry("Paste Env");
    if (EnvelopeClipboard::shared().empty()) {
        paste.text.clear();
        paste.enabled = false;
    }
    return {MenuItem::entry("Add Point"),     MenuItem::entry("Remove Segment"), MenuItem::entry("Fit"),
            MenuItem::line(),                 MenuItem::entry("Stretch 200%"),   MenuItem::entry("Stretch 150%"),
            MenuItem::entry("Stretch 66.7%"), MenuItem::entry("Stretch 50%"),    MenuItem::entry("Duplicate Sustain"),
            MenuItem::line(),                 MenuItem::entry("Copy Env"),       paste,
            MenuItem::line(),                 MenuItem::entry("Load Env"),       MenuItem::entry("Save Env")};
}

void EnvelopeEditor::runMenuEntry(int entry, double time)
{
    EnvelopeShape* s = editedShape();
    if (s == nullptr) {
        return;
    }
    bool changed = false;
    switch (entry) {
    case kAddPoint:
        changed = envelope_edit::addPoint(*s, time);
        break;
    case kRemoveSegment:
        changed = envelope_edit::removeSegment(*s, envelope_edit::segmentAt(*s, time));
        break;
    case kFit:
        fit();
        redraw(nullptr);
        return;
    case kStretch200:
    case kStretch150:
    case kStretch67:
    case kStretch50: {
        static constexpr float kFactors[] = {2.0f, 1.5f, 0.6666667f, 0.5f};
        changed = s->segmentCount() > 0;
        s->stretch(kFactors[entry - kStretch200]);
        break;
    }
    case kDuplicateSustain:
        changed = s->duplicateLoop();
        break;
    case kCopyEnvelope:
        EnvelopeClipboard::shared().copy(*s);
        return;
    case kPasteEnvelope:
        changed = EnvelopeClipboard::shared().pasteInto(*s);
        break;
    case kLoadEnvelope:
        loadFromFile();
        return;
    case kSaveEnvelope:
        saveToFile();
        return;
    default:
        return;
    }
    if (changed) {
        commit(nullptr);
    }
}

void EnvelopeEditor::loadFromFile()
{
    EnvelopeShape* s = editedShape();
    if (s == nullptr || services_ == nullptr) {
        return;
    }
    const std::string path = services_->chooseFile(kLoadChoice);
    if (path.empty()) {
        return;
    }
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, std::size_t(1) << 20);
    if (!bytes) {
        showMessage(fileExists(path) ? kMsgErrorReading : kMsgErrorOpening, path);
        return;
    }
    // The file is read into a scratch envelope, so a damaged one changes nothing.
    EnvelopeObject scratch(0, 2);
    const SideFileStatus status =
        parseObjectFile(bytes->data(), bytes->size(), kEnvelopeFileMagic, kOldEnvelopeFileMagic, scratch);
    if (status != SideFileStatus::ok) {
        showMessage(status == SideFileStatus::newerVersion ? kMsgNewerVersion : kMsgErrorReading, path);
        return;
    }
    s->copyFrom(scratch.shape());
    commit(nullptr);
}

void EnvelopeEditor::saveToFile()
{
    const PatchObject* envelope = working();
    if (envelope == nullptr || services_ == nullptr) {
        return;
    }
    const std::string path = services_->chooseFile(kSaveChoice);
    if (!path.empty() && !writeFileAtomically(path, objectFileBytes(kEnvelopeFileMagic, *envelope))) {
        showMessage(kMsgErrorOpening, path);
    }
}

// ---- drawing ------------------------------------------------------------------------------------

void EnvelopeEditor::drawHandle(DrawContext& context, int x, int apexY, Colour fill, Colour outline)
{
    const Point triangle[3] = {Point{x, apexY}, Point{x + kHandleHalfWidth, apexY + kHandleHeight},
                               Point{x - kHandleHalfWidth, apexY + kHandleHeight}};
    context.setFillColour(fill);
    context.setPenColour(outline);
    context.polygon(triangle);
}

void EnvelopeEditor::drawBeforeGrid(DrawContext& context)
{
    const EnvelopeShape* s = shape();
    if (s == nullptr) {
        return;
    }
    const Rect p = plotArea();
    const envelope_edit::LoopSpan span = envelope_edit::loopSpan(*s);
    if (s->loopLength() != 0 && span.end > span.start) {
        const int left = std::max(pixel(xOfTime(breakpointTime(span.start))), p.left);
        const int right = std::min(pixel(xOfTime(breakpointTime(span.end))), p.right);
        if (right > left) {
            context.setFillColour(sustainArea_);
            context.fillRect(Rect{left, p.top, right, p.bottom});
        }
    }
    for (bool end : {false, true}) {
        const Rect handle = sustainHandleArea(end);
        const int x = (handle.left + handle.right) / 2;
        if (x >= p.left - kHandleHalfWidth && x <= p.right + kHandleHalfWidth) {
            drawHandle(context, x, handle.top, sustainHandleFill_, sustainHandleOutline_);
        }
    }
    for (int i = 0; i < s->segmentCount(); ++i) {
        const Rect handle = timeHandleArea(i);
        if (!handle.empty()) {
            drawHandle(context, (handle.left + handle.right) / 2, handle.top, timeHandleFill_, timeHandleOutline_);
        }
    }
}

void EnvelopeEditor::drawAfterCurve(DrawContext& context)
{
    const EnvelopeShape* s = shape();
    if (s == nullptr) {
        return;
    }
    const Rect p = plotArea();
    const bool sustainDrag = drag_ == Drag::kSustainStart || drag_ == Drag::kSustainEnd || drag_ == Drag::kSustainUndecided;
    if (sustainDrag && sustainMark_ >= 0) {
        const int x = pixel(xOfTime(breakpointTime(sustainMark_)));
        context.setPenColour(curveColour());
        context.setLineStyle(LineStyle::kDotted);
        context.moveTo(Point{x, p.top});
        context.lineTo(Point{x, p.bottom});
        context.setLineStyle(LineStyle::kSolid);
    }
    drawRuler(context);

    const Rect sync = syncButtonArea();
    if (syncBitmap_) {
        syncBitmap_->drawTransparent(context, sync, Point{0, s->tempoSynced() ? sync.height() : 0});
    } else {
        context.setFillColour(s->tempoSynced() ? curveColour() : fillColour_);
        context.fillRect(sync);
        context.setPenColour(gridTextColour_);
        context.frameRect(sync);
        context.setFont(gridTextFont_);
        context.setFontColour(s->tempoSynced() ? fillColour_ : gridTextColour_);
        context.drawString("sync", sync, false, kAlignCenter);
    }

    const Rect bar = amountBarArea();
    if (!bar.empty()) {
        context.setPenColour(gridColour_);
        context.frameRect(bar);
        const int top = bar.bottom - pixel(s->depth() * (bar.height() - 2)) - 1;
        context.setFillColour(curveColour());
        context.fillRect(Rect{bar.left + 1, top, bar.right - 1, bar.bottom - 1});
    }
}

void EnvelopeEditor::drawRuler(DrawContext& context)
{
    const EnvelopeShape* s = shape();
    const Rect p = plotArea();
    const double viewStart = std::max(timeOfX(p.left), 0.0);
    const double viewEnd = timeOfX(p.right);
    const double pixelsPerUnit = kPixelsPerUnitAtZoom1 * zoom_;
    const bool synced = s != nullptr && s->tempoSynced();
    const int subdivision = rulerSubdivision();
    double step = 0.0;
    int labelEvery = 1;
    if (synced) {
        step = kSecondsPerBeat / subdivision;
        labelEvery = 2;
    } else {
        // 0.05 × (scale + 1) seconds, the scale chosen so that labels do not overlap.
        const int scale = std::max(static_cast<int>(std::ceil(32.0 / (0.05 * pixelsPerUnit))) - 1, 0);
        step = 0.05 * (scale + 1);
    }
    // Ticks closer than 3 pixels are thinned out (every tick number stays what it counts).
    int stride = 1;
    while (step * stride * pixelsPerUnit < 3.0 && stride < (1 << 24)) {
        stride *= 2;
    }
    const long long first = static_cast<long long>(std::ceil(viewStart / (step * stride))) * stride;
    context.setPenColour(gridTextColour_);
    context.setFont(gridTextFont_);
    context.setFontColour(gridTextColour_);
    int lastLabelRight = p.left - 1000;
    for (long long k = first; k * step <= viewEnd; k += stride) {
        const int x = pixel(xOfTime(k * step));
        context.moveTo(Point{x, p.bottom});
        context.lineTo(Point{x, p.bottom + 3});
        if ((k / stride) % labelEvery != 0) {
            continue;
        }
        // Labels stay inside the control: the first and last ones are pushed in from the edges,
        // and with little room below the plot the row moves up to the control's bottom edge.
        const int labelTop = std::min(p.bottom + 6, rect_.bottom - 12);
        const int labelLeft = std::clamp(x - 14, rect_.left, std::max(rect_.right - 28, rect_.left));
        const Rect box = Rect::ofSize(labelLeft, labelTop, 28, 12);
        if (box.left < lastLabelRight + 2) {
            continue;
        }
        char text[32];
        if (synced) {
            std::snprintf(text, sizeof(text), "%lld/%d", k, subdivision);
        } else {
            std::snprintf(text, sizeof(text), "%0.2f", k * step);
        }
        context.drawString(text, box, false, kAlignCenter);
        lastLabelRight = box.right;
    }
}

void EnvelopeEditor::drawAfterNames(DrawContext& context)
{
    const Rect track = scrollTrackArea();
    context.setFillColour(scrollbarColour_);
    context.fillRect(track);
    context.setFillColour(handleColour_);
    context.fillRect(scrollHandleArea());
}

}  // namespace pelko
