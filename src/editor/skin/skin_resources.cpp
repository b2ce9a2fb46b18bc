#include "editor/skin/skin_resources.h"

#include "editor/skin/attribute_values.h"

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

Ref<Bitmap> SkinResources::bitmap(const std::string& name)
{
    auto found = bitmaps_.find(name);
    if (found != bitmaps_.end()) {
        return found->second;
    }
    if (installFolder_.empty() || name.empty()) {
        return {};
    }
    Ref<Bitmap> loaded = Bitmap::load(skinFilePath(installFolder_, name));
    if (!loaded) {
        return {};
    }
    bitmaps_.emplace(name, loaded);
    return loaded;
}

Ref<BitmapFont> SkinResources::bitmapFont(const std::string& name)
{
    auto found = fonts_.find(name);
    if (found != fonts_.end()) {
        return found->second;
    }
    Ref<BitmapFont> font = BitmapFont::build(bitmap(name));
    if (font) {
        fonts_.emplace(name, font);
    }
    return font;
}

void SkinResources::clearBitmaps()
{
    fonts_.clear();
    bitmaps_.clear();
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
    return v != nullptr ? resources_.bitmap(*v) : Ref<Bitmap>();
}

Ref<BitmapFont> SkinAttributes::bitmapFont(const std::string& item, const std::string& attribute)
{
    const std::string* v = value(item, attribute);
    return v != nullptr ? resources_.bitmapFont(*v) : Ref<BitmapFont>();
}

}  // namespace pelko
