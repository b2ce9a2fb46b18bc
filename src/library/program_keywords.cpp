#include "library/program_keywords.h"

#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "storage/program_format.h"
#include "params/text_object.h"

#include <memory>

namespace pelko {
namespace {

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string_view presetName(const Program& program) { return withoutTrailingBlanks(program.name()); }

std::string presetCommentText(const Program& program)
{
    std::string text;
    for (int line = 0; line < 4; ++line) {
        const std::string_view comment =
            withoutTrailingBlanks(program.objectAs<TextObject>(object::kPatchComment + line).text());
        if (comment.empty()) {
            continue;
        }
        if (!text.empty()) {
            text += '\n';
        }
        text += comment;
    }
    return text;
}

PresetRewrite keywordsFromRecord(const LibraryRow& preset, std::span<const std::uint8_t> record)
{
    PresetRewrite change;
    auto scratch = std::make_unique<Program>();
    if (!parsePresetRecord(record.data(), static_cast<long long>(record.size()), *scratch)) {
        debugOutput("preset " + std::to_string(preset.id) + " does not read as a program; comments left unchanged");
        return change;
    }
    change.comments = presetCommentText(*scratch);
    // The program goes back in the current format, filed where it is.
    change.record = presetRecord(*scratch, preset.link);
    return change;
}

}  // namespace pelko
