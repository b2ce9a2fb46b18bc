// What all editors of the process share: the skin definitions, the bitmap cache and the
// bitmap-font cache, read by the first editor object and released with the last (the editor
// count of SkinSession). Used on the user-interface thread only; not locked.
#pragma once

#include "editor/skin/bitmap_font.h"
#include "editor/skin/skin_definitions.h"
#include "editor/toolkit/bitmap.h"

#include <array>
#include <map>
#include <set>
#include <string>

namespace pelko {

// path + "skin\" + name, as the skin files are named (the file layer turns '\' into '/').
std::string skinFilePath(const std::string& installFolder, const std::string& name);

class SkinResources {
public:
    static SkinResources& shared();

    SkinDefinitions& definitions() { return definitions_; }
    void setInstallFolder(std::string folder) { installFolder_ = std::move(folder); }
    const std::string& installFolder() const { return installFolder_; }

    // The bitmap of a file in the skin folder, shared: each call adds a reference the caller
    // owns. None when it cannot be loaded (nothing is cached then).
    // At scale 2 the file of the same name in the skin folder's "2x/" is taken (artwork at twice
    // the pixels); when it is missing or unusable, the 1× bitmap is given instead (drawn scaled
    // up), and a diagnostic line names the file, once.
    Ref<Bitmap> bitmap(const std::string& name, int scale = 1);
    // The bitmap font built from a file in the skin folder, shared in the same way.
    Ref<BitmapFont> bitmapFont(const std::string& name, int scale = 1);

    void clearBitmaps();
    // Releases the definitions and both caches.
    void releaseAll();
    std::size_t cachedBitmaps() const { return bitmaps_[0].size(); }

private:
    SkinDefinitions definitions_;
    std::string installFolder_;
    // Indexed by scale - 1.
    std::array<std::map<std::string, Ref<Bitmap>>, 2> bitmaps_;
    std::array<std::map<std::string, Ref<BitmapFont>>, 2> fonts_;
    std::set<std::string> reportedMissing_;
};

// Counts the live editor objects of the process. The first reads "skin.ini" from the install
// folder (after clearing the bitmap cache); when the last goes, everything shared is released.
class SkinSession {
public:
    explicit SkinSession(const std::string& installFolder);
    ~SkinSession();
    SkinSession(const SkinSession&) = delete;
    SkinSession& operator=(const SkinSession&) = delete;
    static int count();
};

// Attribute lookup for one editor: it remembers the item last looked up, so consecutive
// lookups of the same item do not search the map again.
class SkinAttributes {
public:
    explicit SkinAttributes(SkinResources& resources = SkinResources::shared()) : resources_(resources) {}

    // The scale of the bitmaps and bitmap fonts it gives (1 or 2).
    void setScale(int scale) { scale_ = scale == 2 ? 2 : 1; }
    int scale() const { return scale_; }

    // The text as written (empty when the item or attribute is missing).
    std::string text(const std::string& item, const std::string& attribute);
    int integer(const std::string& item, const std::string& attribute);
    // Writes the colour and returns true when three bytes were read; otherwise leaves it.
    bool colour(const std::string& item, const std::string& attribute, Colour& inOut);
    // A system font index (read as an integer).
    int systemFont(const std::string& item, const std::string& attribute) { return integer(item, attribute); }
    Ref<Bitmap> bitmap(const std::string& item, const std::string& attribute);
    Ref<BitmapFont> bitmapFont(const std::string& item, const std::string& attribute);
    bool has(const std::string& item, const std::string& attribute);

private:
    const std::string* value(const std::string& item, const std::string& attribute);

    SkinResources& resources_;
    int scale_ = 1;
    std::string lastItem_;
    const AttributeSet* lastSet_ = nullptr;
    bool haveLast_ = false;
};

}  // namespace pelko
