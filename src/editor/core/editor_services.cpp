// What controls ask of the editor, answered through the editor port: values and texts under the
// port's short lock, patch-object edits followed by their apply step and a refresh of every
// control bound to the object, and the lists the menus offer.
#include "editor/core/editor.h"
#include "editor/core/storage_dialogs.h"

#include "audio/controller_map.h"
#include "dsp/effects/effect_factory.h"
#include "dsp/filters/filter_types.h"
#include "library/preset_database.h"
#include "params/patch_object_table.h"
#include "wave/wave_bank.h"

namespace pelko {

float Editor::parameterValue(int parameter) const
{
    if (parameter < 0 || parameter >= kParameters) {
        return 0.0f;
    }
    return port_.read().value(parameter);
}

int Editor::controllerOfParameter(int parameter) const
{
    if (parameter < 0 || parameter >= kParameters) {
        return -1;
    }
    const int controller = pelko::controllerOfParameter(parameter);
    return controller == 255 ? -1 : controller;
}

void Editor::rebindPage(int index, int base)
{
    if (Container* shown = page(index)) {
        sendNotification(*shown, notify::kRebase, base);
        shown->setDirty();
    }
}

std::string Editor::parameterDisplay(int parameter) const
{
    return port_.read().displayText(parameter);
}

std::string Editor::parameterName(int parameter) const
{
    return port_.parameterDisplayName(parameter).value_or(std::string());
}

bool Editor::readObject(int index, const std::function<void(const PatchObject&)>& read) const
{
    if (index < 0 || index >= kPatchObjects || !read) {
        return false;
    }
    EditorPort::Reading reading = port_.read();
    read(reading.object(index));
    return true;
}

bool Editor::editObject(int index, const std::function<void(PatchObject&)>& edit)
{
    if (!edit || !port_.editObject(index, edit)) {
        return false;
    }
    objectChanged(index);
    return true;
}

std::vector<ChoiceGroup> Editor::waveChoices() const
{
    std::vector<ChoiceGroup> groups;
    ChoiceGroup off;
    off.entries.push_back("Off");
    off.values.push_back(0);
    groups.push_back(std::move(off));
    const WaveBank* bank = WaveBank::shared();
    if (bank == nullptr) {
        return groups;
    }
    int value = 1;
    for (const ArchiveListing& listing : bank->archiveListings()) {
        ChoiceGroup group;
        group.title = listing.archiveName;
        if (group.title.size() > 4 && group.title.ends_with(".vfs")) {
            group.title.resize(group.title.size() - 4);
        }
        for (const std::string& wave : listing.waveNames) {
            group.entries.push_back(wave);
            group.values.push_back(value++);
        }
        groups.push_back(std::move(group));
    }
    std::vector<ExternalWave> external = bank->externalWaves();
    if (!external.empty()) {
        ChoiceGroup group;
        group.title = "External";
        for (const ExternalWave& wave : external) {
            group.entries.push_back(wave.waveName);
            group.values.push_back(value++);
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<ChoiceGroup> Editor::filterModeChoices() const
{
    ChoiceGroup group;
    for (int row = 0; row < kFilterMenuSize; ++row) {
        const int id = filterTypeAtMenuIndex(row);
        group.entries.push_back(row == 0 ? "Off" : filterTypeName(id));
        group.values.push_back(id);
    }
    return {group};
}

std::vector<ChoiceGroup> Editor::effectTypeChoices() const
{
    ChoiceGroup group;
    for (int row = 0; row < kEffectTypeCount; ++row) {
        const EffectKind& kind = effectKindAtMenuIndex(row);
        group.entries.push_back(kind.name);
        group.values.push_back(kind.typeId);
    }
    return {group};
}

int Editor::currentProgram() const { return port_.read().currentProgram(); }

std::vector<std::string> Editor::programNames() const
{
    std::vector<std::string> names;
    for (int i = 0; i < kProgramCount; ++i) {
        names.push_back(plugin_.programNameAt(i).value_or(std::string()));
    }
    return names;
}

void Editor::selectProgram(int index)
{
    if (index >= 0 && index < kProgramCount) {
        plugin_.selectProgram(index);
        applyQueuedChanges();
    }
}

bool Editor::globalTuning() const { return plugin_.globalTuningOn(); }

void Editor::setGlobalTuning(bool on)
{
    plugin_.setGlobalTuning(on);
    objectChanged(object::kMicrotuningScale);
}

std::vector<EditorServices::ArchiveSummary> Editor::waveArchives() const
{
    std::vector<ArchiveSummary> archives;
    if (const WaveBank* bank = WaveBank::shared()) {
        for (const ArchiveListing& listing : bank->archiveListings()) {
            archives.push_back(ArchiveSummary{listing.archiveName, static_cast<int>(listing.waveNames.size())});
        }
    }
    return archives;
}

int Editor::externalWaves() const
{
    const WaveBank* bank = WaveBank::shared();
    return bank != nullptr ? static_cast<int>(bank->externalWaves().size()) : 0;
}

int Editor::presetCount() const { return plugin_.presetLibrary().countPresets(); }

// The loop of the zone middle C plays, sampled at evenly spaced points. The wave is copied out under
// the lock and read after it: a wave never changes once built.
std::vector<float> Editor::oscillatorWaveform(int oscillator, int points) const
{
    constexpr int kMostPoints = 4096;
    if (points < 2 || points > kMostPoints) {
        return {};
    }
    const std::shared_ptr<const Wave> wave = port_.read().wave(oscillator);
    if (!wave || wave->zoneCount() == 0) {
        return {};
    }
    const WaveZone& zone = wave->zoneForKey(60);
    const std::int64_t loop = static_cast<std::int64_t>(zone.length) - zone.loopStart;
    if (zone.samples == nullptr || loop <= 0 || zone.loopStart < 0) {
        return {};
    }
    std::vector<float> values(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
        const std::int64_t at = zone.loopStart + loop * i / points;
        values[static_cast<std::size_t>(i)] = static_cast<float>(zone.samples[at]) / 32768.0f;
    }
    return values;
}

// The controls' own files (envelopes) go through the same dialog as the editor's commands, so
// they remember their folders in the settings as every other file dialog does.
std::string Editor::chooseFile(const FileChoice& choice)
{
    const FileDialogOptions options{choice.title, choice.filterDescription, choice.extension, choice.folderValue};
    return dialogs().chooseFile(choice.save, options).value_or(std::string());
}

}  // namespace pelko
