#include "editor/skin/skin_resources.h"

#include "editor/skin/attribute_values.h"
#include "platform/debug_output.h"

namespace pelko {
namespace {
int editorCount = 0;
}  // namespace

std::string skinFilePath(const std::string& installFolder, const std::string& name)
{
    return installFolder + "skin\\" + name;
}

SkinResources& SkinResources::shared()
{
    static SkinResources resources;
    return resources;
}

Ref<Bitmap> SkinResources::bitmap(const std::string& name, int scale)
{
    scale = scale == 2 ? 2 : 1;
    auto& cache = bitmaps_[static_cast<std::size_t>(scale - 1)];
    auto found = cache.find(name);
    if (found != cache.end()) {
        return found->second;
    }
    if (installFolder_.empty() || name.empty()) {
        return {};
    }
    Ref<Bitmap> loaded;
    if (scale == 1) {
        loaded = Bitmap::load(skinFilePath(installFolder_, name));
    } else {
        // 2x artwork is laid over the 1x layout: it must be exactly twice the 1x file's size.
        Ref<Bitmap> single = bitmap(name, 1);
        loaded = Bitmap::loadScaled(skinFilePath(installFolder_, "2x\\" + name), 2);
        if (loaded && single && (loaded->width() != single->width() || loaded->height() != single->height())) {
            loaded.reset();
        }
        if (!loaded) {
            loaded = single;
            if (loaded && reportedMissing_.insert(name).second) {
                debugOutput("skin: 2x/" + name + " is missing or unusable; " + name + " is drawn scaled up\n");
            }
        }
    }
    if (!loaded) {
        return {};
    }
    cache.emplace(name, loaded);
    return loaded;
}

Ref<BitmapFont> SkinResources::bitmapFont(const std::string& name, int scale)
{
    scale = scale == 2 ? 2 : 1;
    auto& cache = fonts_[static_cast<std::size_t>(scale - 1)];
    auto found = cache.find(name);
    if (found != cache.end()) {
        return found->second;
    }
    Ref<BitmapFont> font = BitmapFont::build(bitmap(name, scale));
    if (font) {
        cache.emplace(name, font);
    }
    return font;
}

void SkinResources::clearBitmaps()
{
    for (auto& cache : fonts_) {
        cache.clear();
    }
    for (auto& cache : bitmaps_) {
        cache.clear();
    }
    reportedMissing_.clear();
}

void SkinResources::releaseAll()
{
    clearBitmaps();
    definitions_.clear();
}

SkinSession::SkinSession(const std::string& installFolder)
{
    if (editorCount == 0) {
        SkinResources& resources = SkinResources::shared();
        resources.clearBitmaps();
        resources.definitions().clear();
        resources.setInstallFolder(installFolder);
        if (!installFolder.empty()) {
            resources.definitions().read(skinFilePath(installFolder, "skin.ini"));
        }
    }
    ++editorCount;
}

SkinSession::~SkinSession()
{
    if (--editorCount == 0) {
        SkinResources::shared().releaseAll();
    }
}

int SkinSession::count()
{
    return editorCount;
}

const std::string* SkinAttributes::value(const std::string& item, const std::string& attribute)
{
    if (!haveLast_ || item != lastItem_) {
        lastItem_ = item;
        lastSet_ = resources_.definitions().find(item);
        haveLast_ = true;
    }
    if (lastSet_ == nullptr) {
        return nullptr;
    }
    auto found = lastSet_->find(attribute);
    return found == lastSet_->end() ? nullptr : &found->second;
}

bool SkinAttributes::has(const std::string& item, const std::string& attribute)
{
    return value(item, attribute) != nullptr;
}

std::string SkinAttributes::text(const std::string& item, const std::string& attribute)
{
    const std::string* v = value(item, attribute);
    return v != nullptr ? *v : std::string();
}

int SkinAttributes::integer(const std::string& item, const std::string& attribute)
{
    const std::string* v = value(item, attribute);
    return v != nullptr ? parseSkinInteger(*v) : 0;
}

bool SkinAttributes::colour(const std::string& item, const std::string& attribute, Colour& inOut)
{
    const std::string* v = value(item, attribute);
    if (v == nullptr) {
        return false;
    }
    auto parsed = parseSkinColour(*v);
    if (!parsed) {
        return false;
    }
    inOut = *parsed;
    return true;
}

Ref<Bitmap> SkinAttributes::bitmap(const std::string& item, const std::string& attribute)
{
    const std::string* v = value(item, attribute);
    return v != nullptr ? resources_.bitmap(*v, scale_) : Ref<Bitmap>();
}

Ref<BitmapFont> SkinAttributes::bitmapFont(const std::string& item, const std::string& attribute)
{
    const std::string* v = value(item, attribute);
    return v != nullptr ? resources_.bitmapFont(*v, scale_) : Ref<BitmapFont>();
}

}  // namespace pelko
