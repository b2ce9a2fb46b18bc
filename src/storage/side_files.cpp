#include "storage/side_files.h"

#include "params/parameter_ids.h"
#include "params/parameter_table.h"
#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "params/additive_settings_object.h"
#include "params/envelope_object.h"
#include "wave/additive_analysis.h"
#include "wave/archive_errors.h"
#include "wave/wav_file.h"

#include <algorithm>
#include <cmath>

namespace pelko {
namespace {

// No side file comes near this; anything larger is not one.
constexpr std::size_t kLargestSideFile = std::size_t(1) << 20;

bool isSlot(int slot) { return slot == 0 || slot == 1; }

// A stored parameter value as the plug-in keeps it: within 0–1, the default when not a number.
float storedValue(int parameter, float v)
{
    if (!std::isfinite(v)) {
        return parameterTable()[static_cast<std::size_t>(parameter)].defaultValue;
    }
    return std::clamp(v, 0.0f, 1.0f);
}

// Magic and version; the version of an older-magic file is 10.
SideFileStatus readHeader(ByteReader& in, std::uint32_t magic, std::uint32_t oldMagic, int& version)
{
    const auto found = static_cast<std::uint32_t>(in.int32());
    if (in.failed()) {
        return SideFileStatus::damaged;
    }
    if (found == magic) {
        version = in.int32();
        if (in.failed() || version < kOldestFormatVersion) {
            return SideFileStatus::damaged;
        }
        return version > kFormatVersion ? SideFileStatus::newerVersion : SideFileStatus::ok;
    }
    if (oldMagic != 0 && found == oldMagic) {
        version = kOldMagicVersion;
        return SideFileStatus::ok;
    }
    return SideFileStatus::foreignMagic;
}

void report(SideFileStatus status, std::string_view path)
{
    showMessage(status == SideFileStatus::newerVersion ? kMsgNewerVersion : kMsgErrorReading, path);
}

// The whole file, or none after message 7 (cannot be read) or 8 (too large to be a side file).
std::optional<std::vector<std::uint8_t>> readSideFile(std::string_view path, bool quiet)
{
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestSideFile);
    if (!bytes && !quiet) {
        showMessage(fileExists(path) ? kMsgErrorReading : kMsgErrorOpening, path);
    }
    return bytes;
}

bool writeSideFile(std::string_view path, const std::vector<std::uint8_t>& bytes)
{
    if (!writeFileAtomically(path, bytes)) {
        showMessage(kMsgErrorOpening, path);
        return false;
    }
    return true;
}

ByteWriter headerWriter(std::uint32_t magic)
{
    ByteWriter out;
    out.putInt32(static_cast<std::int32_t>(magic));
    out.putInt32(kFormatVersion);
    return out;
}

bool isEnvelope(const Program& program, int object)
{
    return object >= 0 && object < kPatchObjectCount && dynamic_cast<const EnvelopeObject*>(&program.object(object)) != nullptr;
}

bool isAdditive(const Program& program, int object)
{
    return object >= 0 && object < kPatchObjectCount &&
           dynamic_cast<const AdditiveSettingsObject*>(&program.object(object)) != nullptr;
}

// Loads an envelope or additive file into object k of the edit buffer, then applies it.
bool loadObjectFile(ProgramHost& host, int object, std::string_view path, std::uint32_t magic, std::uint32_t oldMagic)
{
    std::optional<std::vector<std::uint8_t>> bytes = readSideFile(path, false);
    if (!bytes) {
        return false;
    }
    std::unique_ptr<PatchObject> scratch = host.editBuffer().object(object).clone();
    const SideFileStatus status = parseObjectFile(bytes->data(), bytes->size(), magic, oldMagic, *scratch);
    if (status != SideFileStatus::ok) {
        report(status, path);
        return false;
    }
    host.storePatchObject(object, *scratch);
    host.applyPatchObject(object);
    return true;
}

}  // namespace

int sequencerFileParameter(int i) { return i == 0 ? param::kSeqRandom : param::kSeqNote + i - 1; }

int effectFileParameter(int slot, int i)
{
    if (i < param::kFxParametersPerSlot) {
        return param::kFxParameter + param::kFxParametersPerSlot * slot + i;
    }
    return i == param::kFxParametersPerSlot ? param::kFxDryWet + slot : param::kFxTempoSync + slot;
}

// ---- byte forms ---------------------------------------------------------------------------

std::vector<std::uint8_t> sequencerFileBytes(const Program& program)
{
    ByteWriter out = headerWriter(kSequencerFileMagic);
    for (int i = 0; i < kSequencerFileValues; ++i) {
        out.putFloat(program.values[static_cast<std::size_t>(sequencerFileParameter(i))]);
    }
    return out.take();
}

SideFileStatus parseSequencerFile(const std::uint8_t* data, std::size_t size,
                                  std::array<float, kSequencerFileValues>& values)
{
    ByteReader in(data, size);
    int version = 0;
    const SideFileStatus status = readHeader(in, kSequencerFileMagic, 0, version);
    if (status != SideFileStatus::ok) {
        return status;
    }
    std::array<float, kSequencerFileValues> read{};
    for (int i = 0; i < kSequencerFileValues; ++i) {
        read[static_cast<std::size_t>(i)] = storedValue(sequencerFileParameter(i), in.float32());
    }
    if (in.failed()) {
        return SideFileStatus::damaged;
    }
    values = read;
    return SideFileStatus::ok;
}

std::vector<std::uint8_t> effectFileBytes(const PatchObject& typeObject, const std::array<float, kEffectFileValues>& values)
{
    ByteWriter out = headerWriter(kEffectFileMagic);
    typeObject.write(out);
    for (float v : values) {
        out.putFloat(v);
    }
    return out.take();
}

std::vector<std::uint8_t> effectFileBytes(const Program& program, int slot)
{
    slot = slot == 1 ? 1 : 0;
    std::array<float, kEffectFileValues> values{};
    for (int i = 0; i < kEffectFileValues; ++i) {
        values[static_cast<std::size_t>(i)] = program.values[static_cast<std::size_t>(effectFileParameter(slot, i))];
    }
    return effectFileBytes(program.object(object::kFxType + slot), values);
}

SideFileStatus parseEffectFile(const std::uint8_t* data, std::size_t size, PatchObject& typeObject,
                               std::array<float, kEffectFileValues>& values)
{
    ByteReader in(data, size);
    int version = 0;
    const SideFileStatus status = readHeader(in, kEffectFileMagic, 0, version);
    if (status != SideFileStatus::ok) {
        return status;
    }
    if (!typeObject.read(in, version) || in.failed()) {
        return SideFileStatus::damaged;
    }
    std::array<float, kEffectFileValues> read{};
    for (int i = 0; i < kEffectFileValues; ++i) {
        // Both slots' parameters have the same defaults; slot 0's rows stand for them.
        read[static_cast<std::size_t>(i)] = storedValue(effectFileParameter(0, i), in.float32());
    }
    if (in.failed()) {
        return SideFileStatus::damaged;
    }
    values = read;
    return SideFileStatus::ok;
}

std::vector<std::uint8_t> objectFileBytes(std::uint32_t magic, const PatchObject& object)
{
    ByteWriter out = headerWriter(magic);
    object.write(out);
    return out.take();
}

SideFileStatus parseObjectFile(const std::uint8_t* data, std::size_t size, std::uint32_t magic, std::uint32_t oldMagic,
                               PatchObject& object)
{
    ByteReader in(data, size);
    int version = 0;
    const SideFileStatus status = readHeader(in, magic, oldMagic, version);
    if (status != SideFileStatus::ok) {
        return status;
    }
    if (!object.read(in, version) || in.failed()) {
        return SideFileStatus::damaged;
    }
    return SideFileStatus::ok;
}

// ---- the commands ---------------------------------------------------------------------------

bool loadSequencerSettings(ProgramHost& host, std::string_view path)
{
    std::optional<std::vector<std::uint8_t>> bytes = readSideFile(path, false);
    if (!bytes) {
        return false;
    }
    std::array<float, kSequencerFileValues> values{};
    const SideFileStatus status = parseSequencerFile(bytes->data(), bytes->size(), values);
    if (status != SideFileStatus::ok) {
        report(status, path);
        return false;
    }
    for (int i = 0; i < kSequencerFileValues; ++i) {
        host.setParameter(sequencerFileParameter(i), values[static_cast<std::size_t>(i)]);
    }
    return true;
}

bool saveSequencerSettings(const Program& editBuffer, std::string_view path)
{
    return writeSideFile(path, sequencerFileBytes(editBuffer));
}

bool loadEffectSettings(ProgramHost& host, int slot, std::string_view path, bool quiet)
{
    if (!isSlot(slot)) {
        return false;
    }
    std::optional<std::vector<std::uint8_t>> bytes = readSideFile(path, quiet);
    if (!bytes) {
        return false;
    }
    const int typeIndex = object::kFxType + slot;
    std::unique_ptr<PatchObject> scratch = host.editBuffer().object(typeIndex).clone();
    std::array<float, kEffectFileValues> values{};
    const SideFileStatus status = parseEffectFile(bytes->data(), bytes->size(), *scratch, values);
    if (status != SideFileStatus::ok) {
        if (!quiet) {
            report(status, path);
        }
        return false;
    }
    host.storePatchObject(typeIndex, *scratch);
    for (int i = 0; i < kEffectFileValues; ++i) {
        host.setParameter(effectFileParameter(slot, i), values[static_cast<std::size_t>(i)]);
    }
    host.applyPatchObject(typeIndex);
    return true;
}

bool saveEffectSettings(const Program& editBuffer, int slot, std::string_view path)
{
    if (!isSlot(slot)) {
        return false;
    }
    return writeSideFile(path, effectFileBytes(editBuffer, slot));
}

bool loadEnvelope(ProgramHost& host, int object, std::string_view path)
{
    if (!isEnvelope(host.editBuffer(), object)) {
        debugOutput("envelope file for an object that is no envelope\n");
        return false;
    }
    return loadObjectFile(host, object, path, kEnvelopeFileMagic, kOldEnvelopeFileMagic);
}

bool saveEnvelope(const Program& editBuffer, int object, std::string_view path)
{
    if (!isEnvelope(editBuffer, object)) {
        debugOutput("envelope file for an object that is no envelope\n");
        return false;
    }
    return writeSideFile(path, objectFileBytes(kEnvelopeFileMagic, editBuffer.object(object)));
}

bool loadAdditiveSettings(ProgramHost& host, int object, std::string_view path)
{
    if (!isAdditive(host.editBuffer(), object)) {
        debugOutput("additive file for an object that holds no additive settings\n");
        return false;
    }
    return loadObjectFile(host, object, path, kAdditiveFileMagic, kOldAdditiveFileMagic);
}

bool saveAdditiveSettings(const Program& editBuffer, int object, std::string_view path)
{
    if (!isAdditive(editBuffer, object)) {
        debugOutput("additive file for an object that holds no additive settings\n");
        return false;
    }
    return writeSideFile(path, objectFileBytes(kAdditiveFileMagic, editBuffer.object(object)));
}

bool loadWavIntoAdditiveSettings(ProgramHost& host, int object, std::string_view path)
{
    if (!isAdditive(host.editBuffer(), object)) {
        debugOutput("WAV analysis for an object that holds no additive settings\n");
        return false;
    }
    WavFile wav;
    if (!wav.open(nativePath(path))) {
        showMessage(wav.errorCode() == kArchiveFileNotFound ? kMsgErrorOpening : kMsgErrorReading, path);
        return false;
    }
    const std::size_t frameBytes =
        static_cast<std::size_t>(wav.channels()) * static_cast<std::size_t>(std::max(1, wav.bitsPerSample() / 8));
    const std::size_t frames = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, wav.frameCount())),
                                                     wav.availableDataSize() / std::max<std::size_t>(1, frameBytes));
    std::vector<std::int16_t> samples(std::max<std::size_t>(frames, static_cast<std::size_t>(std::max(0, wav.frameCount()))));
    wav.read(samples.data());
    std::optional<HarmonicAnalysis> analysis = analyseHarmonics(samples.data(), frames);
    if (!analysis) {
        showMessage(kMsgErrorReading, path);
        return false;
    }
    std::unique_ptr<PatchObject> scratch = host.editBuffer().object(object).clone();
    auto& settings = static_cast<AdditiveSettingsObject&>(*scratch);
    for (int h = 0; h < AdditiveSettingsObject::kHarmonics; ++h) {
        settings.setLevel(h, analysis->levels[static_cast<std::size_t>(h)]);
        settings.setPhase(h, analysis->phases[static_cast<std::size_t>(h)]);
    }
    host.storePatchObject(object, settings);
    host.applyPatchObject(object);
    return true;
}

}  // namespace pelko
