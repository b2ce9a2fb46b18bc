#include "editor/controls/additive_harmonics_editor.h"

#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "editor/toolkit/popup_menu.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pelko {
namespace {

constexpr int kHarmonics = AdditiveSettingsObject::kHarmonics;
constexpr float kPerPixel = 0.01f;

// The relative step of a vertical move: faster moves count double, very fast ones four times.
float relativeStep(int pixels)
{
    const int distance = std::abs(pixels);
    float step = static_cast<float>(distance) * kPerPixel;
    if (distance > 4) {
        step *= 2.0f;
    }
    if (distance > 8) {
        step *= 2.0f;
    }
    return step;
}

// Floor division, so that positions left of the first bar do not round to it.
int floorDivide(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

AdditiveHarmonicsEditor::AdditiveHarmonicsEditor(ControlListener* listener, int tag) : AdditiveBoundControl(listener, tag) {}

void AdditiveHarmonicsEditor::configure(SkinAttributes& a, const std::string& item)
{
    AdditiveBoundControl::configure(a, item);
    auto integerOr = [&](const char* name, int otherwise) { return a.has(item, name) ? a.integer(item, name) : otherwise; };
    barWidth_ = std::clamp(integerOr("barWidth", barWidth_), 1, 256);
    barSpacing_ = std::clamp(integerOr("barSpacing", barSpacing_), 0, 256);
    gridTextStep_ = std::clamp(integerOr("gridTextStep", gridTextStep_), 0, kHarmonics);
    gridTextY_ = integerOr("gridTextY", gridTextY_);
}

void AdditiveHarmonicsEditor::setSelectedHarmonic(int harmonic)
{
    selected_ = std::clamp(harmonic, 0, kHarmonics);
    setDirty(true);
}

int AdditiveHarmonicsEditor::visibleCount() const
{
    const int room = rect_.width() - kLeftInset;
    return std::clamp(room / barStride(), 0, kHarmonics - firstVisible_);
}

int AdditiveHarmonicsEditor::harmonicAt(int x) const
{
    const int index = floorDivide(x - rect_.left - kLeftInset, barStride());
    if (index < 0 || index >= visibleCount()) {
        return -1;
    }
    return index + firstVisible_;
}

int AdditiveHarmonicsEditor::middleLine() const { return rect_.top + rect_.height() / 2; }

Point AdditiveHarmonicsEditor::tipOrigin(Point mouse) const
{
    const bool leftHalf = mouse.h < rect_.left + rect_.width() / 2;
    const bool upperHalf = mouse.v < middleLine();
    return Point{leftHalf ? mouse.h + 10 : mouse.h - 35, upperHalf ? mouse.v - 10 : mouse.v - 30};
}

// ---- drawing ------------------------------------------------------------------------------------

void AdditiveHarmonicsEditor::draw(DrawContext& context)
{
    const bool hadClip = context.hasClip();
    const Rect outerClip = context.clip();
    context.setClip(hadClip ? rect_.intersection(outerClip) : rect_);
    context.setDrawMode(DrawMode::kCopy);
    context.setLineStyle(LineStyle::kSolid);
    context.setLineWidth(1);
    context.setFillColour(backgroundColour_);
    context.fillRect(rect_);

    const int middle = middleLine();
    const int half = std::max(rect_.height() / 2, 1);
    const int shown = visibleCount();
    auto barLeft = [&](int i) { return rect_.left + kLeftInset + (i - firstVisible_) * barStride(); };

    // Harmonic numbers: the first and every step-th one.
    if (gridTextStep_ > 0) {
        context.setFont(gridTextFont_);
        context.setFontColour(gridTextColour_);
        const int y = gridTextY_ >= 0 ? rect_.top + gridTextY_ : rect_.bottom - 13;
        for (int i = firstVisible_; i < firstVisible_ + shown; ++i) {
            const int number = i + 1;
            if (number == 1 || number % gridTextStep_ == 0) {
                const std::string text = std::to_string(number);
                const int width = context.stringWidth(text) + 2;
                const int centre = barLeft(i) + barWidth_ / 2;
                context.drawString(text, Rect{centre - width / 2, y, centre - width / 2 + width, y + 12}, false, kAlignCenter);
            }
        }
    }

    if (const AdditiveSettingsObject* a = settings()) {
        for (int i = firstVisible_; i < firstVisible_ + shown; ++i) {
            const int left = barLeft(i);
            if (const float level = a->level(i); level > 0.0f) {
                const int height = std::max(static_cast<int>(std::lround(level * static_cast<float>(half))), 1);
                context.setFillColour(levelColour_);
                context.fillRect(Rect{left, middle - height, left + barWidth_, middle});
            }
            if (const float phase = a->phase(i); phase > 0.0f) {
                const int height = std::max(static_cast<int>(std::lround(phase * static_cast<float>(half))), 1);
                context.setFillColour(phaseColour_);
                context.fillRect(Rect{left, middle + 1, left + barWidth_, middle + 1 + height});
            }
        }
    }

    // The middle line, and a mark under the selected harmonic.
    context.setPenColour(gridTextColour_);
    context.moveTo(Point{rect_.left, middle});
    context.lineTo(Point{rect_.right, middle});
    if (selected_ > 0 && selected_ - 1 >= firstVisible_ && selected_ - 1 < firstVisible_ + shown) {
        const int left = barLeft(selected_ - 1);
        context.setFillColour(colours::kWhite);
        context.fillRect(Rect{left, middle - 1, left + barWidth_, middle + 2});
    }
    drawTip(context);

    if (hadClip) {
        context.setClip(outerClip);
    } else {
        context.resetClip();
    }
    setDirty(false);
}

void AdditiveHarmonicsEditor::drawTip(DrawContext& context)
{
    if (!tipShown_) {
        return;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%03.2f", static_cast<double>(tipValue_));
    context.setFont(5, 10);
    const Point at = tipOrigin(tipAt_);
    const Rect box = Rect::ofSize(at.h, at.v, context.stringWidth(text) + 6, 14);
    context.setFillColour(Colour{255, 250, 200, 0});
    context.setFontColour(colours::kBlack);
    context.drawString(text, box, true, kAlignCenter);
}

// ---- mouse --------------------------------------------------------------------------------------

MouseResponse AdditiveHarmonicsEditor::mouse(DrawContext& context, const MouseEvent& event)
{
    if (settings() == nullptr) {
        readShown();
    }
    row_ = Row::kNone;
    if ((event.buttons & kMouseRight) != 0) {
        openMenu(event);
        return MouseResponse::kHandled;
    }
    if ((event.buttons & kMouseLeft) == 0 || settings() == nullptr) {
        return MouseResponse::kNotHandled;
    }
    const int middle = middleLine();
    if (event.where.v < middle - kMiddleBand) {
        row_ = Row::kLevels;
    } else if (event.where.v > middle + kMiddleBand) {
        row_ = Row::kPhases;
    } else {
        return MouseResponse::kHandled;
    }
    previousHarmonic_ = -1;
    previousY_ = event.where.v;
    track(context, event.where);
    return MouseResponse::kTrack;
}

void AdditiveHarmonicsEditor::mouseMoved(DrawContext& context, const MouseEvent& event)
{
    if (row_ != Row::kNone) {
        track(context, event.where);
    }
}

void AdditiveHarmonicsEditor::mouseReleased(DrawContext& context, const MouseEvent&)
{
    row_ = Row::kNone;
    previousHarmonic_ = -1;
    tipShown_ = false;
    redraw(&context);
}

void AdditiveHarmonicsEditor::track(DrawContext& context, Point where)
{
    AdditiveSettingsObject* a = editable();
    const int harmonic = harmonicAt(where.h);
    if (a == nullptr || harmonic < 0) {
        // Off the bars nothing changes; coming back counts as entering a harmonic anew.
        previousHarmonic_ = -1;
        previousY_ = where.v;
        return;
    }
    const bool levels = row_ == Row::kLevels;
    const float current = levels ? a->level(harmonic) : a->phase(harmonic);
    float value = current;
    if (harmonic != previousHarmonic_) {
        const float position = static_cast<float>(where.v - rect_.top) / static_cast<float>(std::max(rect_.height() / 2, 1));
        value = levels ? 1.0f - position : position - 1.0f;
    } else {
        const int moved = where.v - previousY_;
        const float step = relativeStep(moved);
        // Upward raises a level; downward raises a phase.
        value += (levels ? (moved < 0) : (moved > 0)) ? step : -step;
    }
    value = std::clamp(value, 0.0f, 1.0f);
    previousHarmonic_ = harmonic;
    previousY_ = where.v;
    if (levels) {
        a->setLevel(harmonic, value);
    } else {
        a->setPhase(harmonic, value);
    }
    selected_ = harmonic + 1;
    tipShown_ = true;
    tipAt_ = where;
    tipValue_ = levels ? a->level(harmonic) : a->phase(harmonic);
    commit();
    redraw(&context);
}

void AdditiveHarmonicsEditor::openMenu(const MouseEvent& event)
{
    if (frame_ == nullptr) {
        return;
    }
    std::vector<MenuItem> items;
    const std::vector<std::string>& names = harmonicOperationNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        MenuItem item = MenuItem::entry(names[i]);
        item.enabled = selected_ > 0 || !operationNeedsSelection(static_cast<HarmonicOperation>(i));
        items.push_back(std::move(item));
    }
    const Point origin = parentOrigin();
    frame_->openPopupMenu(std::move(items), Point{origin.h + event.where.h, origin.v + event.where.v},
                          // The menu keeps the editor alive: the page may close while it is open.
                          [this, keep = Ref<View>::share(this)](int chosen) {
                              if (chosen >= 0 && chosen < static_cast<int>(HarmonicOperation::kCount)) {
                                  runOperation(static_cast<HarmonicOperation>(chosen));
                              }
                          });
}

void AdditiveHarmonicsEditor::runOperation(HarmonicOperation operation)
{
    AdditiveSettingsObject* a = editable();
    if (a == nullptr || !applyHarmonicOperation(*a, operation, selected_)) {
        return;
    }
    commit();
    redraw(nullptr);
}

}  // namespace pelko
