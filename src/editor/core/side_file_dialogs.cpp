#include "editor/core/side_file_dialogs.h"

#include "storage/side_files.h"
#include "storage/sysex_import.h"
#include "storage/text_program.h"

namespace pelko {

namespace side_file_dialog {
const FileDialogOptions kExportPatch{"Export Patch", "Patches", ".txt", "importPath"};
const FileDialogOptions kImportPatch{"Import Patch", "Patches", ".txt", "importPath"};
const FileDialogOptions kLoadSequencer{"Load Sequencer Settings", "Seq settings", ".seq", "SequencerPath"};
const FileDialogOptions kSaveSequencer{"Save Sequencer settings", "Seq settings", ".seq", "SequencerPath"};
const FileDialogOptions kLoadEffect{"Load FX Settings", "FX settings", ".rfx", "EffectsPath"};
const FileDialogOptions kSaveEffect{"Save FX settings", "FX settings", ".rfx", "EffectsPath"};
const FileDialogOptions kLoadEnvelope{"Load Envelope", "Envelopes", ".env", "EnvPath"};
const FileDialogOptions kSaveEnvelope{"Save Envelope", "Envelopes", ".env", "EnvPath"};
const FileDialogOptions kLoadAdditive{"Load Additive Settings", "Additive Settings", ".add", "additivePath"};
const FileDialogOptions kSaveAdditive{"Save Additive Settings", "Additive Settings", ".add", "additivePath"};
const FileDialogOptions kLoadWav{"Load Wav File", "Wav File", ".wav", "additiveWavPath"};
const FileDialogOptions kLoadSysex{"Load Sysex File", "Sysex Files", ".syx", "syxPath"};
}  // namespace side_file_dialog

namespace {

using namespace side_file_dialog;

// Asks for a file and runs `action` on its path; false when the dialog was cancelled.
template <class Action>
bool withChosenFile(StorageDialogHost& dialogs, const FileDialogOptions& options, bool save, Action&& action)
{
    std::optional<std::string> path = dialogs.chooseFile(save, options);
    if (!path || path->empty()) {
        return false;
    }
    return action(*path);
}

}  // namespace

bool exportProgramWithDialog(ProgramHost& host, StorageDialogHost& dialogs)
{
    return withChosenFile(dialogs, kExportPatch, true, [&](const std::string& path) { return exportProgramText(host, path); });
}

bool importProgramWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int slot)
{
    return withChosenFile(dialogs, kImportPatch, false,
                          [&](const std::string& path) { return importProgramText(host, slot, path); });
}

bool loadSequencerWithDialog(ProgramHost& host, StorageDialogHost& dialogs)
{
    return withChosenFile(dialogs, kLoadSequencer, false,
                          [&](const std::string& path) { return loadSequencerSettings(host, path); });
}

bool saveSequencerWithDialog(ProgramHost& host, StorageDialogHost& dialogs)
{
    return withChosenFile(dialogs, kSaveSequencer, true,
                          [&](const std::string& path) { return saveSequencerSettings(host.editBuffer(), path); });
}

bool loadEffectWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int slot)
{
    return withChosenFile(dialogs, kLoadEffect, false,
                          [&](const std::string& path) { return loadEffectSettings(host, slot, path); });
}

bool saveEffectWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int slot)
{
    return withChosenFile(dialogs, kSaveEffect, true,
                          [&](const std::string& path) { return saveEffectSettings(host.editBuffer(), slot, path); });
}

bool loadEnvelopeWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object)
{
    return withChosenFile(dialogs, kLoadEnvelope, false,
                          [&](const std::string& path) { return loadEnvelope(host, object, path); });
}

bool saveEnvelopeWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object)
{
    return withChosenFile(dialogs, kSaveEnvelope, true,
                          [&](const std::string& path) { return saveEnvelope(host.editBuffer(), object, path); });
}

bool loadAdditiveWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object)
{
    return withChosenFile(dialogs, kLoadAdditive, false,
                          [&](const std::string& path) { return loadAdditiveSettings(host, object, path); });
}

bool saveAdditiveWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object)
{
    return withChosenFile(dialogs, kSaveAdditive, true,
                          [&](const std::string& path) { return saveAdditiveSettings(host.editBuffer(), object, path); });
}

bool loadWavWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object)
{
    return withChosenFile(dialogs, kLoadWav, false,
                          [&](const std::string& path) { return loadWavIntoAdditiveSettings(host, object, path); });
}

bool importSysexWithDialog(ProgramHost& host, StorageDialogHost& dialogs)
{
    return withChosenFile(dialogs, kLoadSysex, false, [&](const std::string& path) { return importSysexFile(host, path); });
}

}  // namespace pelko
