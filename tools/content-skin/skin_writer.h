// Turns the layout into the skin: skin.ini items (shared looks first, then one item per
// control), skin.dat lines (one container per page) and the bitmaps every item names.
#pragma once

#include "artwork.h"
#include "layout.h"
#include "look.h"

#include <string>

namespace skin_content {

// False with a message when the layout breaks a rule of the look (off the grid, a label wider
// than its control, text without enough contrast) or a file cannot be written.
bool writeSkin(const Look& look, const Layout& layout, const std::string& folder, std::string& error);

}  // namespace skin_content
