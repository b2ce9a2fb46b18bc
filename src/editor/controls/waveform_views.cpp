#include "editor/controls/waveform_views.h"

#include "editor/toolkit/draw_context.h"
#include "params/patch_object_table.h"
#include "params/wave_name_object.h"

#include <algorithm>
#include <cmath>

namespace pelko {

void drawWaveform(DrawContext& context, const Rect& area, const std::vector<float>& points, Colour line, Colour centre,
                  Colour background)
{
    const bool hadClip = context.hasClip();
    const Rect outerClip = context.clip();
    context.setClip(hadClip ? area.intersection(outerClip) : area);
    context.setDrawMode(DrawMode::kCopy);
    context.setLineStyle(LineStyle::kSolid);
    context.setLineWidth(1);
    context.setFillColour(background);
    context.fillRect(area);
    const int height = std::max(area.height() - 1, 1);
    context.setPenColour(centre);
    context.moveTo(Point{area.left, area.top + height / 2});
    context.lineTo(Point{area.right, area.top + height / 2});
    if (points.size() >= 2) {
        std::vector<Point> path;
        path.reserve(points.size());
        const double columns = static_cast<double>(points.size() - 1);
        for (std::size_t i = 0; i < points.size(); ++i) {
            float v = points[i];
            v = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
            const double x = area.left + static_cast<double>(i) * (area.width() - 1) / columns;
            const double y = area.top + (1.0 - (v + 1.0) / 2.0) * height;
            path.push_back(Point{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))});
        }
        context.setPenColour(line);
        context.polyline(path);
    }
    if (hadClip) {
        context.setClip(outerClip);
    } else {
        context.resetClip();
    }
}

// ---- the additive waveform ----------------------------------------------------------------------

AdditiveWaveformEditor::AdditiveWaveformEditor(ControlListener* listener, int tag) : AdditiveBoundControl(listener, tag) {}

void AdditiveWaveformEditor::settingsRead()
{
    const AdditiveSettingsObject* a = settings();
    const int n = std::max(rect_.width(), 2);
    points_.assign(static_cast<std::size_t>(n), 0.0f);
    if (a != nullptr) {
        a->renderWaveform(n, points_.data());
    }
}

void AdditiveWaveformEditor::draw(DrawContext& context)
{
    if (points_.size() != static_cast<std::size_t>(std::max(rect_.width(), 2))) {
        settingsRead();
    }
    drawWaveform(context, rect_, points_, levelColour_, gridTextColour_, backgroundColour_);
    setDirty(false);
}

// ---- an oscillator's wave -----------------------------------------------------------------------

OscWaveformDisplayer::OscWaveformDisplayer(ControlListener* listener, int tag) : AdditiveBoundControl(listener, tag) {}

void OscWaveformDisplayer::bindObject(int index)
{
    AdditiveBoundControl::bindObject(index);
    if (oscillator_ < 0) {
        if (index >= object::kOscShapeId && index < object::kOscShapeId + 6) {
            oscillator_ = index - object::kOscShapeId;
        } else if (isAdditiveObject(index)) {
            oscillator_ = index - object::kAdditiveSettings;
        }
    }
    readWave();
}

void OscWaveformDisplayer::objectChanged(int index)
{
    AdditiveBoundControl::objectChanged(index);
    readWave();
}

int OscWaveformDisplayer::shapeObject() const
{
    for (int index : objects_) {
        if (index >= object::kOscShapeId && index < object::kOscShapeId + 6) {
            return index;
        }
    }
    return -1;
}

void OscWaveformDisplayer::readWave()
{
    if (services_ == nullptr) {
        return;
    }
    if (oscillator_ >= 0) {
        points_ = services_->oscillatorWaveform(oscillator_, std::max(rect_.width(), 2));
    }
    if (const int shape = shapeObject(); shape >= 0) {
        services_->readObject(shape, [this](const PatchObject& object) {
            if (auto* name = dynamic_cast<const WaveNameObject*>(&object)) {
                setValue(name->muted() ? 0.0f : 1.0f);
            }
        });
    }
    setDirty(true);
}

void OscWaveformDisplayer::draw(DrawContext& context)
{
    drawWaveform(context, rect_, points_, value_ != 0.0f ? levelColour_ : phaseColour_, gridTextColour_, backgroundColour_);
    setDirty(false);
}

MouseResponse OscWaveformDisplayer::mouse(DrawContext& context, const MouseEvent& event)
{
    // The left button alone: with a modifier or another button the click is not ours.
    if ((event.buttons & kMouseButtons) != kMouseLeft || (event.buttons & ~kMouseButtons) != 0) {
        return MouseResponse::kNotHandled;
    }
    const bool on = value_ == 0.0f;
    setValue(on ? 1.0f : 0.0f);
    redraw(&context);
    notifyListener(&context);
    if (const int shape = shapeObject(); shape >= 0 && services_ != nullptr) {
        // The mute switch is set exactly when the value is 0.
        services_->editObject(shape, [on](PatchObject& object) {
            if (auto* name = dynamic_cast<WaveNameObject*>(&object)) {
                name->setMuted(!on);
            }
        });
    }
    return MouseResponse::kHandled;
}

}  // namespace pelko
