#include "library/factory_library.h"

#include "library/library_questions.h"
#include "platform/debug_output.h"

namespace pelko {
namespace {

// Parents come before their children.
constexpr FactoryCategory kFactoryTree[] = {
    {"Basses"},
    {"Basses/Analog"},
    {"Basses/Digital"},
    {"Basses/FM"},
    {"Basses/Sub"},
    {"Leads"},
    {"Leads/Mono"},
    {"Leads/Poly"},
    {"Leads/Sync"},
    {"Pads"},
    {"Pads/Warm"},
    {"Pads/Evolving"},
    {"Pads/Choir"},
    {"Keys"},
    {"Keys/Piano"},
    {"Keys/Electric Piano"},
    {"Keys/Clavinet"},
    {"Bells"},
    {"Plucks"},
    {"Organs"},
    {"Strings"},
    {"Strings/Ensemble"},
    {"Strings/Solo"},
    {"Brass"},
    {"Sequences"},
    {"Sequences/Arpeggios"},
    {"Sequences/Rhythmic"},
    {"Effects"},
    {"Effects/Atmospheres"},
    {"Effects/Noises"},
    {"FM"},
    {"Additive"},
    {"Percussion"},
};

}  // namespace

std::span<const FactoryCategory> factoryCategories() { return kFactoryTree; }

bool FactoryLibrary::createCategories()
{
    if (!db_.beginTransaction()) {
        return false;
    }
    for (const FactoryCategory& category : kFactoryTree) {
        std::string_view path = category.path;
        std::size_t slash = path.rfind('/');
        int parent = slash == std::string_view::npos ? -1 : categoryId(path.substr(0, slash));
        std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
        int id = -1;
        if ((slash != std::string_view::npos && parent == -1) || !db_.addCategory(name, parent, &id)) {
            debugOutput("factory category " + std::string(path) + " could not be created");
            db_.rollbackTransaction();
            ids_.clear();
            return false;
        }
        ids_[std::string(path)] = id;
    }
    if (!db_.commitTransaction()) {
        db_.rollbackTransaction();
        ids_.clear();
        return false;
    }
    return true;
}

int FactoryLibrary::categoryId(std::string_view path) const
{
    auto found = ids_.find(path);
    return found != ids_.end() ? found->second : -1;
}

bool FactoryLibrary::addPreset(std::string_view categoryPath, std::string_view name, std::string_view comment,
                               std::span<const std::uint8_t> record)
{
    int id = categoryId(categoryPath);
    if (id == -1) {
        debugOutput("factory preset " + std::string(name) + ": no category " + std::string(categoryPath));
        return false;
    }
    return storePreset(db_, id, name, comment, record);
}

}  // namespace pelko
