#include "library/program_keywords.h"

#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "storage/program_format.h"
#include "storage/text_object.h"

#include <memory>

namespace pelko {

std::string presetCommentText(const Program& program)
{
    std::string text;
    for (int line = 0; line < 4; ++line) {
        std::string_view comment = program.objectAs<TextObject>(object::kPatchComment + line).text();
        while (!comment.empty() && (comment.back() == ' ' || comment.back() == '\t')) {
            comment.remove_suffix(1);
        }
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
