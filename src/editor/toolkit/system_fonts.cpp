#include "editor/toolkit/system_fonts.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>

namespace pelko {
namespace {

struct FontRow {
    int size;
    const char* face;
};

constexpr FontRow kRows[kSystemFonts] = {
    {12, "Arial"}, {18, "Arial"}, {14, "Arial"}, {12, "Arial"},
    {11, "Arial"}, {10, "Arial"}, {9, "Arial"}, {13, "Symbol"},
};

int rowOf(int index) { return index >= 0 && index < kSystemFonts ? index : 0; }

}  // namespace

const char* systemFontFace(int index) { return kRows[rowOf(index)].face; }
int systemFontSize(int index) { return kRows[rowOf(index)].size; }

std::string resolveFontFamily(const std::string& face)
{
    // Fonts are resolved on the user-interface thread of any plug-in instance in the process.
    static std::mutex lock;
    static std::map<std::string, std::string> resolved;
    std::lock_guard<std::mutex> guard(lock);
    auto found = resolved.find(face);
    if (found != resolved.end()) {
        return found->second;
    }
    std::string family = face;
    if (FcInit() != 0) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face.c_str()));
        if (pattern != nullptr) {
            // The configuration's substitutions map "Arial" to its metric-compatible faces.
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            FcPattern* match = FcFontMatch(nullptr, pattern, &result);
            if (match != nullptr) {
                FcChar8* name = nullptr;
                if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name != nullptr) {
                    family = reinterpret_cast<const char*>(name);
                }
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
    }
    resolved.emplace(face, family);
    return family;
}

SystemFont selectSystemFont(int index, int size, int style)
{
    int row = rowOf(index);
    SystemFont font;
    font.family = resolveFontFamily(kRows[row].face);
    font.pixelSize = size <= 0 ? kRows[row].size : size;
    font.bold = row == 0 || (style & kFontBold) != 0;
    font.italic = (style & kFontItalic) != 0;
    font.underline = (style & kFontUnderline) != 0;
    return font;
}

}  // namespace pelko
