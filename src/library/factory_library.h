// The factory preset library built into the install folder's database: the category tree the
// library ships with, and the way factory programs are filed into it. Used by the content
// builder at build time; the plug-in itself never calls it.
#pragma once

#include "library/preset_database.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

// One category of the factory tree, addressed by its path: top-level names, subcategories as
// "Parent/Child".
struct FactoryCategory {
    const char* path;
};

// The factory tree, parents before their children.
std::span<const FactoryCategory> factoryCategories();

class FactoryLibrary {
public:
    explicit FactoryLibrary(PresetDatabase& db) : db_(db) {}

    // Creates every category of the factory tree (in one transaction) and remembers their ids.
    bool createCategories();

    // The id of a category by path ("Pads/Warm"); -1 when it is not in the tree.
    int categoryId(std::string_view path) const;

    // Files one factory program: record = the stored program record (format word + program).
    // Fails for an unknown category and for a name already in the library (the builder answers
    // the duplicate question No): factory names are unique.
    bool addPreset(std::string_view categoryPath, std::string_view name, std::string_view comment,
                   std::span<const std::uint8_t> record);

private:
    PresetDatabase& db_;
    std::map<std::string, int, std::less<>> ids_;
};

}  // namespace pelko
