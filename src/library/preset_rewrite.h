// Rewriting every preset of the library in one transaction, and the one-time keyword upgrade
// built on it. The database side only: what a record means is the rewriter's business (the
// plug-in reads it as a program, builds the comment text from the program's comment fields and,
// when the program format moves on, writes the record anew).
//
// Callers: the plug-in object right after PresetDatabase::open, on the user-interface thread.
#pragma once

#include "library/preset_database.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelko {

// What to change in one preset; an empty member keeps what is stored.
struct PresetRewrite {
    std::optional<std::vector<std::uint8_t>> record;
    std::optional<std::string> comments;
};

// Receives a preset's list row (id, name, category) and its decoded record.
using PresetRewriter = std::function<PresetRewrite(const LibraryRow& preset, std::span<const std::uint8_t> record)>;

struct RewriteSummary {
    int presets = 0;    // presets walked
    int rewritten = 0;  // presets with a change stored
    int skipped = 0;    // records missing or not decoding: left as they are
};

// Hands every preset's record to `rewrite` and stores what it returns. All or nothing: one
// transaction (joined when the caller has one open), rolled back when a store fails or the
// rewriter throws.
bool rewriteAllPresets(PresetDatabase& db, const PresetRewriter& rewrite, RewriteSummary* summary = nullptr);

// The keyword upgrade, for a library whose categories were just converted (db.upgraded()): tells
// the user (message 21), recounts the categories and rewrites every preset, in one transaction.
bool runKeywordUpgrade(PresetDatabase& db, const PresetRewriter& rewrite, RewriteSummary* summary = nullptr);

}  // namespace pelko
