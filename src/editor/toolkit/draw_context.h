// The drawing context: the pen, fill and font state and the drawing operations every view uses.
// A context draws into an offscreen surface (the frame's back buffer, a container's or a
// control's own surface); its origin may be moved so that a container's children draw in their
// container's coordinates.
#pragma once

#include "editor/toolkit/geometry.h"

#include <memory>
#include <span>
#include <string_view>

namespace pelko {

class Frame;
class Offscreen;

enum class LineStyle { kSolid, kDotted };
// Exclusive-or mode inverts what it draws over, so drawing the same shape twice restores it.
enum class DrawMode { kCopy, kExclusiveOr };

enum TextAlign : int {
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2,
};

class DrawContext {
public:
    // Draws into the surface; the frame (may be none) answers the mouse and window questions.
    explicit DrawContext(Offscreen& target, Frame* frame = nullptr);
    ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    // Lines and shapes; coordinates are pixels relative to the current origin.
    void moveTo(Point p);
    void lineTo(Point p);  // from the pen position; the end point itself is not painted
    void polyline(std::span<const Point> points);
    void polygon(std::span<const Point> points);  // filled with the fill colour, outlined by the pen
    void frameRect(const Rect& r);                // outline inside the rectangle
    void fillRect(const Rect& r);
    // The arc of the ellipse inscribed in r, counter-clockwise from the direction of start to the
    // direction of end; start equal to end draws the whole ellipse.
    void arc(const Rect& r, Point start, Point end);
    void fillEllipse(const Rect& r);

    void setPenColour(Colour c) { pen_ = c; }
    void setFillColour(Colour c) { fill_ = c; }
    void setFontColour(Colour c) { fontColour_ = c; }
    void setLineWidth(int width) { lineWidth_ = width < 1 ? 1 : width; }
    void setLineStyle(LineStyle style) { lineStyle_ = style; }
    void setDrawMode(DrawMode mode) { drawMode_ = mode; }
    Colour penColour() const { return pen_; }
    Colour fillColour() const { return fill_; }
    Colour fontColour() const { return fontColour_; }
    int lineWidth() const { return lineWidth_; }
    LineStyle lineStyle() const { return lineStyle_; }
    DrawMode drawMode() const { return drawMode_; }
    Point penPosition() const { return penPosition_; }

    // Clipping, in the current origin's coordinates. Reset removes it.
    void setClip(const Rect& r);
    void resetClip();
    Rect clip() const { return clip_.offsetBy(-origin_.h, -origin_.v); }
    bool hasClip() const { return hasClip_; }

    // Fonts of the system table (index, size, style bits), see system_fonts.h.
    void setFont(int index, int size = 0, int style = 0);
    int fontIndex() const { return fontIndex_; }
    int fontPixelSize() const { return fontSize_; }
    bool fontBold() const { return fontBold_; }
    int stringWidth(std::string_view text);
    // One line, vertically centred; align 1 centres, 2 right-aligns, anything else starts 1 pixel
    // in from the left edge. The rectangle is filled with the fill colour first when opaque.
    void drawString(std::string_view text, const Rect& r, bool opaque = false, int align = kAlignLeft);

    // The origin: views inside a container draw relative to the container.
    Point origin() const { return origin_; }
    void setOrigin(Point p);

    // The mouse as last seen by the frame (state bits of geometry.h, location in frame
    // coordinates); 0 and (0, 0) without a frame.
    int mouseState() const;
    Point mouseLocation() const;
    Frame* frame() const { return frame_; }
    Offscreen& target() const { return target_; }

    // The area drawn into so far, in the target's coordinates (for presenting only what changed).
    Rect damage() const { return damage_; }
    void addDamage(const Rect& targetArea) { damage_ = damage_.unionWith(targetArea); }
    // A rectangle in the current origin's coordinates, in the target's.
    Rect toTarget(const Rect& r) const { return r.offsetBy(origin_.h, origin_.v); }

    // For the toolkit's own drawing code: the native drawing handle.
    struct Native;
    Native& native() { return *native_; }

private:
    void applyPen(bool forFill);
    // Fonts are resolved on first use of text, so contexts that draw no text never ask for one.
    void selectFontIfNeeded();
    void strokeCurrentPath();

    Offscreen& target_;
    Frame* frame_;
    std::unique_ptr<Native> native_;
    Colour pen_ = colours::kBlack;
    Colour fill_ = colours::kWhite;
    Colour fontColour_ = colours::kBlack;
    int lineWidth_ = 1;
    LineStyle lineStyle_ = LineStyle::kSolid;
    DrawMode drawMode_ = DrawMode::kCopy;
    Rect clip_{};  // in the target's coordinates, so that it stays put when the origin moves
    bool hasClip_ = false;
    Point penPosition_{};
    Point origin_{};
    Rect damage_{};
    int fontIndex_ = 0;
    int fontSize_ = 12;
    int fontStyle_ = 0;
    bool fontBold_ = true;
    bool fontSelected_ = false;
};

}  // namespace pelko
