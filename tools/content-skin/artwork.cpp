#include "artwork.h"

#include "platform/file_system.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <filesystem>

namespace skin_content {
namespace {

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

void useFont(cairo_t* cr, const Look& look, bool bold)
{
    cairo_select_font_face(cr, look.text("fontFace").c_str(), CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, look.number("fontSize"));
    // Unhinted outlines keep the advance widths the same at every scale, so the 2x glyphs fill
    // exactly the doubled cells of the 1x ones.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

}  // namespace

void setColour(cairo_t* cr, const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void fillRect(cairo_t* cr, double x, double y, double w, double h, const Rgb& c)
{
    setColour(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

bool Artwork::picture(const std::string& name, int w, int h, const std::function<void(cairo_t*)>& paint)
{
    if (!written_.insert(name).second) {
        return true;
    }
    for (int scale : {1, 2}) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w * scale, h * scale);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        paint(cr);
        cairo_destroy(cr);
        std::vector<std::uint8_t> bytes;
        cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
        cairo_surface_destroy(surface);
        std::string folder = scale == 1 ? folder_ : folder_ + "2x/";
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        if (bytes.empty() || !pelko::writeFileAtomically(folder + name, bytes)) {
            failed_ = true;
            error_ = folder + name + ": cannot be written";
            return false;
        }
    }
    return true;
}

int Artwork::glyphWidth(char c) const
{
    return std::max(1, static_cast<int>(std::lround(textWidth(std::string(1, c)))));
}

double Artwork::textWidth(const std::string& s, bool bold) const
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    useFont(cr, look_, bold);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return extents.x_advance;
}

void Artwork::text(cairo_t* cr, const std::string& s, double x, double y, double width, const Rgb& colour, bool bold,
                   Align align) const
{
    cairo_save(cr);
    useFont(cr, look_, bold);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double line = look_.number("lineHeight");
    double baseline = std::round(y + (line - (font.ascent + font.descent)) / 2 + font.ascent);
    double left = x;
    if (align == Align::kCentre) {
        left = x + std::round((width - textWidth(s, bold)) / 2);
    }
    setColour(cr, colour);
    cairo_move_to(cr, left, baseline);
    cairo_show_text(cr, s.c_str());
    cairo_restore(cr);
}

bool Artwork::bitmapFont(const std::string& name, const Rgb& colour)
{
    std::vector<int> starts;
    int width = 0;
    for (int c = 32; c < 127; ++c) {
        starts.push_back(width);
        width += glyphWidth(static_cast<char>(c));
    }
    const int line = look_.number("lineHeight");
    return picture(name, width, line + 1, [&](cairo_t* cr) {
        // The marker row: one opaque magenta device pixel above each glyph's first column.
        double scale = 1;
        double unused = 0;
        cairo_user_to_device_distance(cr, &scale, &unused);
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_rgb(cr, 1, 0, 1);
        for (int start : starts) {
            cairo_rectangle(cr, start * scale, 0, 1, 1);
        }
        cairo_fill(cr);
        cairo_restore(cr);
        for (int c = 32; c < 127; ++c) {
            int k = c - 32;
            int cell = glyphWidth(static_cast<char>(c));
            cairo_save(cr);
            cairo_rectangle(cr, starts[static_cast<std::size_t>(k)], 1, cell, line);
            cairo_clip(cr);
            if (c != ' ') {
                double advance = textWidth(std::string(1, static_cast<char>(c)));
                text(cr, std::string(1, static_cast<char>(c)), starts[static_cast<std::size_t>(k)] + (cell - advance) / 2, 1, cell,
                     colour);
            }
            cairo_restore(cr);
        }
    });
}

}  // namespace skin_content
