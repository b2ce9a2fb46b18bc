// The native drawing handles behind the toolkit's contexts, surfaces and bitmaps. Only the
// toolkit's own sources include this file.
#pragma once

#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/offscreen.h"

#include <cairo/cairo.h>

namespace pelko {

struct DrawContext::Native {
    cairo_t* cr = nullptr;
};

struct Offscreen::Native {
    cairo_surface_t* surface = nullptr;
};

inline void setSourceColour(cairo_t* cr, Colour c)
{
    cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

// Paints `surface` into `dest` (in the context's local coordinates) with its pixel `source` at the
// top-left corner of `dest`, clipped to `dest`, pixel for pixel and without repeating past the
// surface's edges; the area is recorded as drawn.
inline void paintSurface(DrawContext& context, cairo_surface_t* surface, const Rect& dest, Point source,
                         cairo_operator_t op)
{
    cairo_t* cr = context.native().cr;
    Point o = context.origin();
    context.addDamage(context.toTarget(dest));
    cairo_save(cr);
    cairo_rectangle(cr, dest.left + o.h, dest.top + o.v, dest.width(), dest.height());
    cairo_clip(cr);
    cairo_set_operator(cr, op);
    cairo_set_source_surface(cr, surface, dest.left + o.h - source.h, dest.top + o.v - source.v);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_NONE);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace pelko
