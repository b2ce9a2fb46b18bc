#include "factory_programs.h"

#include "factory_designs.h"
#include "library/factory_library.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/user_controls_assignment.h"

#include <algorithm>
#include <string>

namespace pelko::factory {
namespace {

using namespace filter_id;

constexpr int kFilterSendFirst = 80;  // oscillator sends to filter 1
constexpr int kFxParameterFirst = 167;

std::vector<Design> allDesigns()
{
    std::vector<Design> designs;
    addClassicDesigns(designs);
    addBassDesigns(designs);
    addLeadDesigns(designs);
    addPadDesigns(designs);
    addKeyAndOrganDesigns(designs);
    addBellPluckAndPercussionDesigns(designs);
    addStringAndBrassDesigns(designs);
    addSequenceAndEffectDesigns(designs);
    addSignatureDesigns(designs);
    return designs;
}

bool usesFilter1(const Program& program)
{
    if (program.objectAs<IntegerObject>(object::kFilterMode).value() == kOff) {
        return false;
    }
    for (int osc = 0; osc < 6; ++osc) {
        if (program.values[static_cast<std::size_t>(kFilterSendFirst + osc)] > 0.0f) {
            return true;
        }
    }
    return false;
}

// The playing controls every factory program has, where its design did not choose its own: the
// mod wheel's slider brings in vibrato, aftertouch opens the filter (or deepens the vibrato), and
// the second slider adds effect ("Space") or detunes the second oscillator.
void addStandardControls(Recipe& r, const Program& program)
{
    const auto& assignment = program.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    if (assignment.count(0) == 0) {
        r.vibrato(20.0f, 5.5f, 0.25f);
        r.set(row::kVibratoDepth, 0.0f).modWheel(row::kVibratoDepth, 1.0f, "brings in vibrato");
    }
    if (r.controls().find("aftertouch") == std::string::npos) {
        // FM depth is left alone: pressure may only lower it from the designed index.
        if (usesFilter1(program)) {
            r.aftertouchCutoff(0, 0.75f);
        } else {
            r.aftertouchVibrato(0.6f);
        }
    }
    if (assignment.count(1) == 0) {
        const bool fx1 = program.objectAs<IntegerObject>(object::kFxType).value() != 0;
        const bool fx2 = program.objectAs<IntegerObject>(object::kFxType + 1).value() != 0;
        if (fx1 || fx2) {
            const int dryWet = fx2 ? row::kDryWet2 : row::kDryWet1;
            r.userControl(1, "Space", dryWet, std::min(1.0f, r.value(dryWet) + 0.35f), "adds effect");
        } else {
            r.userControl(1, "Detune", row::kFine2, std::min(1.0f, r.value(row::kFine2) + 0.05f), "detunes oscillator 2");
        }
    }
}

// The words a library search finds a program by: its category's and its design's.
std::string keywordsOf(const Design& design)
{
    std::string words = design.category;
    for (char& c : words) {
        c = c == '/' ? ' ' : c;
    }
    if (design.keywords[0] != '\0') {
        words += ' ';
        words += design.keywords;
    }
    return words;
}

}  // namespace

int factoryCategoryNumber(const std::string& path)
{
    int number = 1;
    for (const FactoryCategory& category : factoryCategories()) {
        if (path == category.path) {
            return number;
        }
        ++number;
    }
    return -1;
}

std::vector<FactoryProgram> factoryPrograms()
{
    std::vector<FactoryProgram> programs;
    for (const Design& design : allDesigns()) {
        FactoryProgram entry;
        entry.category = design.category;
        Recipe recipe(entry.program);
        recipe.name(design.name).author(kFactoryAuthor);
        recipe.category(factoryCategoryNumber(design.category));
        design.build(recipe);
        addStandardControls(recipe, entry.program);
        const std::string text = std::string(design.sound) + ". Playing: " + recipe.controls() + ".";
        recipe.describe(text);
        entry.comment = text + "\nKeywords: " + keywordsOf(design);
        programs.push_back(std::move(entry));
    }
    return programs;
}

std::vector<FactoryBankFile> factoryBanks(const std::vector<FactoryProgram>& programs)
{
    // The first bank keeps the programs it first shipped with in their slots and fills the rest
    // with one program of each family in turn, so it shows the whole range; the second holds
    // every program the first leaves out; the third gathers the programs for playing live.
    std::vector<std::size_t> first;
    std::vector<std::vector<std::size_t>> families;
    std::vector<std::string> familyNames;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (i < kClassicPrograms) {
            first.push_back(i);
            continue;
        }
        const std::string family = programs[i].category.substr(0, programs[i].category.find('/'));
        const auto at = std::find(familyNames.begin(), familyNames.end(), family);
        if (at == familyNames.end()) {
            familyNames.push_back(family);
            families.emplace_back();
        }
        families[static_cast<std::size_t>(std::find(familyNames.begin(), familyNames.end(), family) - familyNames.begin())]
            .push_back(i);
    }
    for (std::size_t round = 0; first.size() < kProgramCount; ++round) {
        bool any = false;
        for (const std::vector<std::size_t>& family : families) {
            if (round < family.size() && first.size() < kProgramCount) {
                first.push_back(family[round]);
                any = true;
            }
        }
        if (!any) {
            break;
        }
    }
    std::vector<std::size_t> second;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (std::find(first.begin(), first.end(), i) == first.end()) {
            second.push_back(i);
        }
    }
    std::vector<std::size_t> third;
    for (const char* family : {"Leads", "Basses", "Sequences", "Plucks", "Percussion", "Effects", "FM", "Additive"}) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            if (programs[i].category.rfind(family, 0) == 0 && third.size() < kProgramCount) {
                third.push_back(i);
            }
        }
    }
    const auto bankOf = [&programs](const char* name, const std::vector<std::size_t>& picks) {
        FactoryBankFile file{std::string(name) + ".fxb", {}};
        file.bank.setName(name);
        for (std::size_t slot = 0; slot < picks.size() && slot < static_cast<std::size_t>(pelko::kProgramCount); ++slot) {
            file.bank.editProgram(static_cast<int>(slot)) = programs[picks[slot]].program;
        }
        return file;
    };
    return {bankOf(kFactoryBankName, first), bankOf("Expanded", second), bankOf("Performance", third)};
}

Program initProgram()
{
    Program program;
    Recipe r(program);
    r.name("Init");
    r.wave(0, "Single Cycle\\Saw").raw(0, 0).toFilter(0, 0, 0.12f);
    r.amp(0, {0.002f, 0.1f, 1.0f, 0.15f});
    r.filter(0, kAnalogLowpass2, 1.0f, 0.0f);  // fully open: every harmonic passes
    r.velocity(12.0f);
    r.level(0.5f);
    return program;
}

}  // namespace pelko::factory
