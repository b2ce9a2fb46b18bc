// The editor's commands for text programs, side files, WAV analysis and system-exclusive files:
// each asks for a file with the file dialog, starting in the folder remembered under its
// registry value (the dialog remembers the chosen folder again), then loads or saves.
//
//   export program as text   "Export Patch"             "Patches"            .txt "importPath"
//   import program from text "Import Patch"             "Patches"            .txt "importPath"
//   load sequencer settings  "Load Sequencer Settings"  "Seq settings"       .seq "SequencerPath"
//   save sequencer settings  "Save Sequencer settings"  "Seq settings"       .seq "SequencerPath"
//   load effect settings     "Load FX Settings"         "FX settings"        .rfx "EffectsPath"
//   save effect settings     "Save FX settings"         "FX settings"        .rfx "EffectsPath"
//   load envelope            "Load Envelope"            "Envelopes"          .env "EnvPath"
//   save envelope            "Save Envelope"            "Envelopes"          .env "EnvPath"
//   load additive settings   "Load Additive Settings"   "Additive Settings"  .add "additivePath"
//   save additive settings   "Save Additive Settings"   "Additive Settings"  .add "additivePath"
//   load WAV into additive   "Load Wav File"            "Wav File"           .wav "additiveWavPath"
//   load system-exclusive    "Load Sysex File"          "Sysex Files"        .syx "syxPath"
//
// Each returns true when a file was chosen and the operation succeeded. User-interface thread.
#pragma once

#include "storage/program_host.h"
#include "editor/core/storage_dialogs.h"

namespace pelko {

namespace side_file_dialog {
extern const FileDialogOptions kExportPatch;
extern const FileDialogOptions kImportPatch;
extern const FileDialogOptions kLoadSequencer;
extern const FileDialogOptions kSaveSequencer;
extern const FileDialogOptions kLoadEffect;
extern const FileDialogOptions kSaveEffect;
extern const FileDialogOptions kLoadEnvelope;
extern const FileDialogOptions kSaveEnvelope;
extern const FileDialogOptions kLoadAdditive;
extern const FileDialogOptions kSaveAdditive;
extern const FileDialogOptions kLoadWav;
extern const FileDialogOptions kLoadSysex;
}  // namespace side_file_dialog

bool exportProgramWithDialog(ProgramHost& host, StorageDialogHost& dialogs);
// Into bank slot `slot` (0–63).
bool importProgramWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int slot);
bool loadSequencerWithDialog(ProgramHost& host, StorageDialogHost& dialogs);
bool saveSequencerWithDialog(ProgramHost& host, StorageDialogHost& dialogs);
// Effect slot 0 or 1.
bool loadEffectWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int slot);
bool saveEffectWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int slot);
// Envelope object k of the edit buffer.
bool loadEnvelopeWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object);
bool saveEnvelopeWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object);
// Additive settings object k (184–189) of the edit buffer.
bool loadAdditiveWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object);
bool saveAdditiveWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object);
bool loadWavWithDialog(ProgramHost& host, StorageDialogHost& dialogs, int object);
bool importSysexWithDialog(ProgramHost& host, StorageDialogHost& dialogs);

}  // namespace pelko
