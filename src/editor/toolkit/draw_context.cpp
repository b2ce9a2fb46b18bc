#include "editor/toolkit/draw_context.h"

#include "editor/toolkit/cairo_native.h"
#include "editor/toolkit/frame.h"
#include "editor/toolkit/system_fonts.h"

#include <cmath>
#include <string>

namespace pelko {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Skin and program texts are single bytes (Latin-1); cairo draws UTF-8.
std::string toUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(c == 0 ? ' ' : static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace

DrawContext::DrawContext(Offscreen& target, Frame* frame)
    : target_(target), frame_(frame), native_(std::make_unique<Native>())
{
    native_->cr = cairo_create(target.native().surface);
    // Shapes are pixel-exact, as rubber bands drawn twice in exclusive-or must cancel out.
    cairo_set_antialias(native_->cr, CAIRO_ANTIALIAS_NONE);
}

DrawContext::~DrawContext()
{
    cairo_destroy(native_->cr);
}

void DrawContext::setOrigin(Point p)
{
    origin_ = p;
}

void DrawContext::applyPen(bool forFill)
{
    cairo_t* cr = native_->cr;
    if (drawMode_ == DrawMode::kExclusiveOr) {
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        setSourceColour(cr, colours::kWhite);
    } else {
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        setSourceColour(cr, forFill ? fill_ : pen_);
    }
    cairo_set_line_width(cr, lineWidth_);
    if (lineStyle_ == LineStyle::kDotted) {
        const double dash[] = {1.0, 1.0};
        cairo_set_dash(cr, dash, 2, 0.0);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0.0);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
}

void DrawContext::strokeCurrentPath()
{
    applyPen(false);
    double x1, y1, x2, y2;
    cairo_stroke_extents(native_->cr, &x1, &y1, &x2, &y2);
    addDamage(Rect{static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)), static_cast<int>(std::ceil(x2)),
                   static_cast<int>(std::ceil(y2))});
    cairo_stroke(native_->cr);
}

void DrawContext::moveTo(Point p)
{
    penPosition_ = p;
}

void DrawContext::lineTo(Point p)
{
    cairo_t* cr = native_->cr;
    // Pixel centres: a one-pixel line covers exactly the pixels it passes through.
    double half = (lineWidth_ % 2) != 0 ? 0.5 : 0.0;
    double x0 = penPosition_.h + origin_.h + half;
    double y0 = penPosition_.v + origin_.v + half;
    double x1 = p.h + origin_.h + half;
    double y1 = p.v + origin_.v + half;
    // The end point itself is left out, so joined lines paint their shared pixel once.
    double dx = x1 - x0;
    double dy = y1 - y0;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0) {
        cairo_move_to(cr, x0 - 0.5 * dx / length, y0 - 0.5 * dy / length);
        cairo_line_to(cr, x1 - 0.5 * dx / length, y1 - 0.5 * dy / length);
        strokeCurrentPath();
    }
    penPosition_ = p;
}

void DrawContext::polyline(std::span<const Point> points)
{
    if (points.empty()) {
        return;
    }
    moveTo(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        lineTo(points[i]);
    }
}

void DrawContext::polygon(std::span<const Point> points)
{
    if (points.size() < 2) {
        return;
    }
    cairo_t* cr = native_->cr;
    double half = (lineWidth_ % 2) != 0 ? 0.5 : 0.0;
    cairo_new_path(cr);
    for (const Point& p : points) {
        cairo_line_to(cr, p.h + origin_.h + half, p.v + origin_.v + half);
    }
    cairo_close_path(cr);
    applyPen(true);
    {
        double x1, y1, x2, y2;
        cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
        addDamage(Rect{static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)),
                       static_cast<int>(std::ceil(x2)), static_cast<int>(std::ceil(y2))});
    }
    cairo_fill_preserve(cr);
    if (drawMode_ == DrawMode::kExclusiveOr) {
        // The outline would invert the fill's edge back.
        cairo_new_path(cr);
        return;
    }
    strokeCurrentPath();
}

void DrawContext::frameRect(const Rect& r)
{
    if (r.empty()) {
        return;
    }
    cairo_t* cr = native_->cr;
    double inset = lineWidth_ / 2.0;
    cairo_rectangle(cr, r.left + origin_.h + inset, r.top + origin_.v + inset, r.width() - lineWidth_,
                    r.height() - lineWidth_);
    strokeCurrentPath();
}

void DrawContext::fillRect(const Rect& r)
{
    if (r.empty()) {
        return;
    }
    cairo_t* cr = native_->cr;
    cairo_rectangle(cr, r.left + origin_.h, r.top + origin_.v, r.width(), r.height());
    applyPen(true);
    addDamage(toTarget(r));
    cairo_fill(cr);
}

void DrawContext::arc(const Rect& r, Point start, Point end)
{
    if (r.empty()) {
        return;
    }
    cairo_t* cr = native_->cr;
    double cx = (r.left + r.right) / 2.0;
    double cy = (r.top + r.bottom) / 2.0;
    double rx = r.width() / 2.0;
    double ry = r.height() / 2.0;
    // Directions are taken in the unit circle the ellipse is scaled from.
    double a0 = std::atan2((start.v - cy) / ry, (start.h - cx) / rx);
    double a1 = std::atan2((end.v - cy) / ry, (end.h - cx) / rx);
    if (start == end) {
        a1 = a0 - 2.0 * kPi;
    }
    cairo_save(cr);
    cairo_translate(cr, cx + origin_.h, cy + origin_.v);
    cairo_scale(cr, rx, ry);
    cairo_new_path(cr);
    // Screen y points down, so counter-clockwise on screen is cairo's negative direction.
    cairo_arc_negative(cr, 0.0, 0.0, 1.0, a0, a1);
    cairo_restore(cr);
    strokeCurrentPath();
}

void DrawContext::fillEllipse(const Rect& r)
{
    if (r.empty()) {
        return;
    }
    cairo_t* cr = native_->cr;
    cairo_save(cr);
    cairo_translate(cr, (r.left + r.right) / 2.0 + origin_.h, (r.top + r.bottom) / 2.0 + origin_.v);
    cairo_scale(cr, r.width() / 2.0, r.height() / 2.0);
    cairo_new_path(cr);
    cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * kPi);
    cairo_restore(cr);
    applyPen(true);
    addDamage(toTarget(r));
    cairo_fill(cr);
}

void DrawContext::setClip(const Rect& r)
{
    cairo_t* cr = native_->cr;
    clip_ = r.offsetBy(origin_.h, origin_.v);
    hasClip_ = true;
    cairo_reset_clip(cr);
    cairo_rectangle(cr, r.left + origin_.h, r.top + origin_.v, std::max(0, r.width()), std::max(0, r.height()));
    cairo_clip(cr);
}

void DrawContext::resetClip()
{
    hasClip_ = false;
    clip_ = Rect{};
    cairo_reset_clip(native_->cr);
}

void DrawContext::selectFontIfNeeded()
{
    if (!fontSelected_) {
        setFont(fontIndex_, 0, fontStyle_);
    }
}

void DrawContext::setFont(int index, int size, int style)
{
    fontSelected_ = true;
    SystemFont font = selectSystemFont(index, size, style);
    fontIndex_ = index >= 0 && index < kSystemFonts ? index : 0;
    fontSize_ = font.pixelSize;
    fontStyle_ = style;
    fontBold_ = font.bold;
    cairo_t* cr = native_->cr;
    cairo_select_font_face(cr, font.family.c_str(), font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.pixelSize);
}

int DrawContext::stringWidth(std::string_view text)
{
    selectFontIfNeeded();
    std::string utf8 = toUtf8(text);
    cairo_text_extents_t extents;
    cairo_text_extents(native_->cr, utf8.c_str(), &extents);
    return static_cast<int>(std::lround(extents.x_advance));
}

void DrawContext::drawString(std::string_view text, const Rect& r, bool opaque, int align)
{
    if (r.empty()) {
        return;
    }
    selectFontIfNeeded();
    cairo_t* cr = native_->cr;
    addDamage(toTarget(r));
    cairo_save(cr);
    cairo_rectangle(cr, r.left + origin_.h, r.top + origin_.v, r.width(), r.height());
    cairo_clip(cr);
    if (opaque) {
        cairo_rectangle(cr, r.left + origin_.h, r.top + origin_.v, r.width(), r.height());
        setSourceColour(cr, fill_);
        cairo_fill(cr);
    }
    std::string utf8 = toUtf8(text);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, utf8.c_str(), &extents);
    double x = r.left + 1;
    if (align == kAlignCenter) {
        x = r.left + (r.width() - extents.x_advance) / 2.0;
    } else if (align == kAlignRight) {
        x = r.right - extents.x_advance;
    }
    double y = r.top + (r.height() - (font.ascent + font.descent)) / 2.0 + font.ascent;
    x = std::floor(x);
    y = std::floor(y + 0.5);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_operator(cr, drawMode_ == DrawMode::kExclusiveOr ? CAIRO_OPERATOR_DIFFERENCE : CAIRO_OPERATOR_OVER);
    setSourceColour(cr, drawMode_ == DrawMode::kExclusiveOr ? colours::kWhite : fontColour_);
    cairo_move_to(cr, x + origin_.h, y + origin_.v);
    cairo_show_text(cr, utf8.c_str());
    if ((fontStyle_ & kFontUnderline) != 0) {
        cairo_rectangle(cr, x + origin_.h, y + origin_.v + 1, extents.x_advance, 1);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

int DrawContext::mouseState() const
{
    return frame_ != nullptr ? frame_->mouseState() : 0;
}

Point DrawContext::mouseLocation() const
{
    return frame_ != nullptr ? frame_->mouseLocation() : Point{};
}

}  // namespace pelko
