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

}  // namespace pelko
