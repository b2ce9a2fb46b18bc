// The system font table: eight rows of size and face. Faces are resolved through fontconfig to
// an installed family (a face metric-compatible with "Arial" when there is one).
#pragma once

#include <string>

namespace pelko {

constexpr int kSystemFonts = 8;

enum FontStyle : int {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
};

struct SystemFont {
    std::string family;  // the installed family to draw with
    int pixelSize = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The font selected by (index, size, style): an index outside 0–7 selects row 0, a size of 0 the
// row's size; row 0 is always bold.
SystemFont selectSystemFont(int index, int size = 0, int style = 0);

// The table's face name of a row ("Arial" or "Symbol") and its size in pixels.
const char* systemFontFace(int index);
int systemFontSize(int index);

// The installed family fontconfig chooses for a face name (cached per process).
std::string resolveFontFamily(const std::string& face);

}  // namespace pelko
