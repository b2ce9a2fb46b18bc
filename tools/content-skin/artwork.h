// The bitmaps of the factory skin, drawn with cairo from the look: knob strips, slider grooves
// and handles, button state strips, the tab band, fields, page backgrounds and bitmap fonts.
// Every picture is drawn by one function in 1x coordinates and written twice: at 1x into the
// skin folder and at exactly double pixel size into its "2x" folder, so both are crisp and share
// one layout.
#pragma once

#include "look.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace skin_content {

class Artwork {
public:
    Artwork(const Look& look, std::string folder) : look_(look), folder_(std::move(folder)) {}

    // Draws a w x h picture at both scales; painting happens in 1x coordinates. Each name is
    // written once; false when a file cannot be written.
    bool picture(const std::string& name, int w, int h, const std::function<void(cairo_t*)>& paint);
    // A strip of glyphs 32..126 in the look's font and the colour given, with the marker row the
    // skin reader expects (a marker pixel above the first column of every glyph).
    bool bitmapFont(const std::string& name, const Rgb& colour);

    // Text in the look's face; y is the top of a line of the look's line height.
    enum class Align { kLeft, kCentre };
    void text(cairo_t* cr, const std::string& s, double x, double y, double width, const Rgb& colour, bool bold = false,
              Align align = Align::kLeft) const;
    double textWidth(const std::string& s, bool bold = false) const;
    // The width of one glyph of the bitmap fonts (whole pixels).
    int glyphWidth(char c) const;

    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }

private:
    const Look& look_;
    std::string folder_;
    std::set<std::string> written_;
    bool failed_ = false;
    std::string error_;
};

// Drawing helpers shared by the pictures.
void fillRect(cairo_t* cr, double x, double y, double w, double h, const Rgb& c);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void setColour(cairo_t* cr, const Rgb& c);

}  // namespace skin_content
