#include "library/library_questions.h"

#include "platform/messages.h"

#include <string>

namespace pelko {

bool storePreset(PresetDatabase& library, int catId, std::string_view name, std::string_view comments,
                 std::span<const std::uint8_t> record, int* newId)
{
    LibraryOutcome outcome = library.addPreset(catId, name, comments, record, newId, false);
    if (outcome == LibraryOutcome::nameExists) {
        // The name as the library stores it: up to its first NUL.
        const std::string shown(name.substr(0, name.find('\0')));
        if (!showMessage(kMsgPresetAlreadyStored, shown, kMessageYesNo)) {
            return false;
        }
        outcome = library.addPreset(catId, name, comments, record, newId, true);
    }
    return outcome == LibraryOutcome::done;
}

bool deleteCategory(PresetDatabase& library, int catId)
{
    LibraryOutcome outcome = library.removeCategory(catId, CategoryContents::refuseIfAny);
    if (outcome == LibraryOutcome::categoryNotEmpty) {
        const bool all = showMessage(kMsgDeleteCategoryContents, {}, kMessageYesNo, "Deleting Category");
        outcome = library.removeCategory(catId, all ? CategoryContents::deleteAll : CategoryContents::moveToParent);
    }
    return outcome == LibraryOutcome::done;
}

}  // namespace pelko
