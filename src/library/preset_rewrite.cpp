#include "library/preset_rewrite.h"

#include "platform/debug_output.h"
#include "platform/messages.h"

#include <exception>

namespace pelko {
namespace {

// Runs `work` inside a transaction: the caller's when one is open, else its own, committed on
// success and rolled back on failure.
template <class Work>
bool inOneTransaction(PresetDatabase& db, Work work)
{
    bool own = !db.inTransaction();
    if (own && !db.beginTransaction()) {
        return false;
    }
    bool ok = false;
    try {
        ok = work();
    } catch (const std::exception& e) {
        debugOutput(std::string("preset rewrite stopped: ") + e.what());
    } catch (...) {
        debugOutput("preset rewrite stopped");
    }
    if (own) {
        if (ok && db.commitTransaction()) {
            return true;
        }
        db.rollbackTransaction();
    }
    return ok;
}

bool rewriteEach(PresetDatabase& db, const PresetRewriter& rewrite, RewriteSummary& summary)
{
    LibraryRows presets;
    if (!db.listAllPresets(presets)) {
        return false;
    }
    std::vector<std::uint8_t> record;
    for (const LibraryRow& preset : presets) {
        ++summary.presets;
        int length = db.loadPreset(preset.id, record);
        if (length < 0) {
            debugOutput("preset " + std::to_string(preset.id) + " has no readable record; left unchanged");
            ++summary.skipped;
            continue;
        }
        PresetRewrite change = rewrite(preset, record);
        if (change.record && !db.replaceRecord(preset.id, *change.record)) {
            return false;
        }
        if (change.comments && !db.setComments(preset.id, *change.comments)) {
            return false;
        }
        if (change.record || change.comments) {
            ++summary.rewritten;
        }
    }
    return true;
}

}  // namespace

bool rewriteAllPresets(PresetDatabase& db, const PresetRewriter& rewrite, RewriteSummary* summary)
{
    RewriteSummary local;
    bool ok = inOneTransaction(db, [&] { return rewriteEach(db, rewrite, local); });
    if (summary != nullptr) {
        *summary = local;
    }
    return ok;
}

bool runKeywordUpgrade(PresetDatabase& db, const PresetRewriter& rewrite, RewriteSummary* summary)
{
    showMessage(kMsgKeywordUpgrade, {}, kMessageOkWarning);
    RewriteSummary local;
    bool ok = inOneTransaction(db, [&] { return db.rebuildCounts() && rewriteEach(db, rewrite, local); });
    if (summary != nullptr) {
        *summary = local;
    }
    return ok;
}

}  // namespace pelko
