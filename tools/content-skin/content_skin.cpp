// content-skin LOOK LAYOUT OUTPUT_FOLDER: writes the factory skin (skin.ini, skin.dat and every
// bitmap, with the same bitmaps at double size in OUTPUT_FOLDER/2x/) from the look and layout
// recipes.
#include "layout.h"
#include "look.h"
#include "skin_writer.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: content-skin LOOK.ini PAGES.txt OUTPUT_FOLDER\n");
        return 2;
    }
    std::string error;
    skin_content::Look look;
    skin_content::Layout layout;
    if (!look.read(argv[1], error) || !skin_content::readLayout(argv[2], layout, error)) {
        std::fprintf(stderr, "content-skin: %s\n", error.c_str());
        return 1;
    }
    std::string folder = argv[3];
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    if (!skin_content::writeSkin(look, layout, folder, error)) {
        std::fprintf(stderr, "content-skin: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
