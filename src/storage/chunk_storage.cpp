#include "storage/chunk_storage.h"

#include "platform/file_system.h"
#include "platform/messages.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace pelko {
namespace {

constexpr std::size_t kMaxFileSize = std::size_t(64) << 20;

struct Header {
    bool ok = false;
    int version = 0;
    int program = 0;
};

Header readHeader(ByteReader& in)
{
    Header h;
    const auto magic = static_cast<std::uint32_t>(in.int32());
    h.version = in.int32();
    h.program = in.int32() & 0xFF;
    if (in.failed() || (magic != kChunkMagic && magic != kOldChunkMagic)) {
        showMessage(kMsgInvalidFormat);
        return h;
    }
    if (h.version > kFormatVersion) {
        showMessage(kMsgNewerVersion);
        return h;
    }
    if (h.version < kOldestFormatVersion) {
        showMessage(kMsgInvalidFormat);
        return h;
    }
    h.ok = true;
    return h;
}

void writeHeader(ByteWriter& out, int currentProgram)
{
    out.putInt32(static_cast<std::int32_t>(kChunkMagic));
    out.putInt32(kFormatVersion);
    out.putInt32(currentProgram);
}

void writeGlobalBlock(ByteWriter& out, const GlobalSettings& global)
{
    out.putInt32(global.globalTuningOn ? 1 : 0);
    global.globalTuning.write(out);
    global.bankInfo.write(out);
}

// Reads the global block all or nothing.
bool readGlobalBlock(ByteReader& in, int version, GlobalSettings& global)
{
    if (version < 16) {
        return true;
    }
    const std::int32_t on = in.int32();
    TuningScaleObject tuning;
    TextObject info = makeBankInfo();
    if (in.failed() || !tuning.read(in, version) || !info.read(in, version)) {
        return false;
    }
    global.globalTuningOn = on != 0;
    global.globalTuning.copyFrom(tuning);
    global.bankInfo.copyFrom(info);
    return true;
}

void writeViewBlock(ByteWriter& out, const EditorViewBlock* view)
{
    const EditorViewBlock defaults;
    const EditorViewBlock& v = view != nullptr ? *view : defaults;
    for (const auto& o : v.oscillators) {
        out.putFloat(o.zoom);
        for (std::int32_t value : o.values) {
            out.putInt32(value);
        }
    }
    out.putInt32(v.page);
}

// The view block is optional for readers: a chunk that ends before it simply has none.
std::optional<EditorViewBlock> readViewBlock(ByteReader& in)
{
    if (in.remaining() < EditorViewBlock::kStoredSize) {
        return std::nullopt;
    }
    EditorViewBlock v;
    for (auto& o : v.oscillators) {
        const float zoom = in.float32();
        o.zoom = std::isfinite(zoom) ? zoom : 1.0f;
        for (std::int32_t& value : o.values) {
            value = in.int32();
        }
    }
    const std::int32_t page = in.int32();
    v.page = page >= 0 && page < EditorViewBlock::kPages ? page : 0;
    return v;
}

std::vector<std::uint8_t> finishChunk(ByteWriter& out, std::size_t reservedEnd)
{
    if (out.size() < reservedEnd) {
        out.putZeros(reservedEnd - out.size());
    }
    return out.take();
}

void copyEditBufferToSlot(StorageState& state)
{
    if (state.currentProgram >= 0 && state.currentProgram < kProgramCount) {
        copyProgram(state.editBuffer, state.bank.editProgram(state.currentProgram));
    }
}

std::vector<std::uint8_t> fileHeader(const char (&fileMagic)[5], std::int32_t count, std::size_t chunkSize,
                                      const char* programName)
{
    ByteWriter out;
    out.putInt32(static_cast<std::int32_t>(fourCharacters("CcnK")));
    out.putInt32(0);
    out.putInt32(static_cast<std::int32_t>(fourCharacters(fileMagic)));
    out.putInt32(1);
    out.putInt32(static_cast<std::int32_t>(kChunkMagic));
    out.putInt32(kFormatVersion);
    out.putInt32(count);
    if (programName != nullptr) {
        out.putBytes(programName, kProgramNameLength);
        out.putZeros(4);
    } else {
        out.putZeros(128);
    }
    out.putInt32(static_cast<std::int32_t>(chunkSize));
    return out.take();
}

std::optional<std::vector<std::uint8_t>> readFile(std::string_view path) { return readWholeFile(path, kMaxFileSize); }

}  // namespace

TuningScaleObject makeGlobalTuning()
{
    TuningScaleObject tuning;
    tuning.setNames("Global Tuning Scale", "Global Tuning");
    return tuning;
}

TextObject makeBankInfo()
{
    TextObject info(kBankInfoCapacity);
    info.setNames("Bank Info", "Bank Info");
    return info;
}

std::size_t globalBlockSize(int version)
{
    return version >= 16 ? 4 + TuningScaleObject::kStoredSize + kBankInfoCapacity : 0;
}

std::vector<std::uint8_t> getChunk(StorageState& state, bool preset)
{
    copyEditBufferToSlot(state);
    try {
        ByteWriter out;
        writeHeader(out, state.currentProgram);
        if (preset) {
            writeProgram(out, state.editBuffer);
        } else {
            writeBank(out, state.bank);
        }
        const std::size_t reservedEnd = out.size() + 2 * globalBlockSize();
        writeGlobalBlock(out, state.global);
        writeViewBlock(out, state.editorView);
        return finishChunk(out, reservedEnd);
    } catch (const std::bad_alloc&) {
        showMessage(kMsgOutOfMemory);
        return {};
    }
}

namespace {

// Reads a chunk: the header, then the body (program or bank) and the global block through
// readBody(in, version), then the optional view block.
template <class ReadBody>
ChunkReadResult readChunk(const void* data, std::size_t size, ReadBody readBody)
{
    ChunkReadResult result;
    ByteReader in(data, data != nullptr ? size : 0);
    const Header header = readHeader(in);
    if (!header.ok) {
        return result;
    }
    if (!readBody(in, header.version)) {
        showMessage(kMsgInvalidFormat);
        return result;
    }
    result.view = readViewBlock(in);
    result.ok = true;
    result.version = header.version;
    result.programIndex = header.program;
    return result;
}

}  // namespace

ChunkReadResult readProgramChunk(const void* data, std::size_t size, Program& target)
{
    return readChunk(data, size, [&target](ByteReader& in, int version) {
        if (!readProgram(in, version, target)) {
            return false;
        }
        upgradeProgram(target, version);
        return in.skip(globalBlockSize(version));
    });
}

ChunkReadResult readBankChunk(const void* data, std::size_t size, ProgramBank& target, GlobalSettings* global)
{
    return readChunk(data, size, [&target, global](ByteReader& in, int version) {
        if (!readBank(in, version, target)) {
            return false;
        }
        return global != nullptr ? readGlobalBlock(in, version, *global) : in.skip(globalBlockSize(version));
    });
}

SetChunkResult setChunk(StorageState& state, const void* data, std::size_t size, bool preset)
{
    SetChunkResult result;
    if (preset) {
        ChunkReadResult read = readProgramChunk(data, size, state.editBuffer);
        if (!read.ok) {
            return result;
        }
        result.view = read.view;
        if (state.currentProgram >= 0 && state.currentProgram < kProgramCount) {
            copyEditBufferToSlot(state);
            result.selectProgram = state.currentProgram;
        }
        result.ok = true;
        return result;
    }
    ChunkReadResult read = readBankChunk(data, size, state.bank, &state.global);
    if (!read.ok) {
        return result;
    }
    result.ok = true;
    result.view = read.view;
    result.selectProgram = read.programIndex < kProgramCount ? read.programIndex : -1;
    return result;
}

std::vector<std::uint8_t> buildProgramFile(StorageState& state)
{
    std::vector<std::uint8_t> chunk = getChunk(state, true);
    if (chunk.empty()) {
        return {};
    }
    const bool inBank = state.currentProgram >= 0 && state.currentProgram < kProgramCount;
    const Program& named = inBank ? state.bank.program(state.currentProgram) : state.editBuffer;
    std::vector<std::uint8_t> file = fileHeader("FPCh", kParameterCount, chunk.size(), named.nameBytes());
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

std::vector<std::uint8_t> buildBankFile(StorageState& state)
{
    std::vector<std::uint8_t> chunk = getChunk(state, false);
    if (chunk.empty()) {
        return {};
    }
    std::vector<std::uint8_t> file = fileHeader("FBCh", kProgramCount, chunk.size(), nullptr);
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

bool saveProgramFile(StorageState& state, std::string_view path)
{
    std::vector<std::uint8_t> file = buildProgramFile(state);
    return !file.empty() && writeFileAtomically(path, file);
}

bool saveBankFile(StorageState& state, std::string_view path)
{
    const std::string folder = folderPart(path);
    if (path.empty() || (!folder.empty() && !folderExists(folder)) || folderExists(path)) {
        showMessage(kMsgErrorOpening, path);
        return false;
    }
    std::vector<std::uint8_t> file = buildBankFile(state);
    if (file.empty()) {
        showMessage(kMsgUnknownError);
        return false;
    }
    if (!writeFileAtomically(path, file)) {
        showMessage(kMsgErrorWriting, path);
        return false;
    }
    return true;
}

FileLoadResult readProgramFileBytes(const std::uint8_t* data, std::size_t size, Program& target)
{
    FileLoadResult result;
    const std::size_t skip = std::min(kProgramFileHeaderSize, size);
    ChunkReadResult read = readProgramChunk(data + skip, size - skip, target);
    result.ok = read.ok;
    result.view = read.view;
    return result;
}

FileLoadResult readBankFileBytes(StorageState& state, const std::uint8_t* data, std::size_t size,
                                 std::string_view fileName)
{
    FileLoadResult result;
    const std::size_t skip = std::min(kBankFileHeaderSize, size);
    ChunkReadResult read = readBankChunk(data + skip, size - skip, state.bank, &state.global);
    if (!read.ok) {
        return result;
    }
    if (state.bank.name().empty()) {
        state.bank.setName(fileName);
    }
    result.ok = true;
    result.view = read.view;
    result.selectProgram = read.programIndex < kProgramCount ? read.programIndex : -1;
    return result;
}

FileLoadResult loadProgramFile(std::string_view path, Program& target)
{
    std::optional<std::vector<std::uint8_t>> bytes = readFile(path);
    if (!bytes) {
        showMessage(kMsgErrorOpening, path);
        return {};
    }
    return readProgramFileBytes(bytes->data(), bytes->size(), target);
}

FileLoadResult loadBankFile(StorageState& state, std::string_view path)
{
    std::optional<std::vector<std::uint8_t>> bytes = readFile(path);
    if (!bytes || bytes->empty()) {
        return {};
    }
    return readBankFileBytes(state, bytes->data(), bytes->size(), fileNamePart(path));
}

bool loadForeignBankFile(std::string_view path, ProgramBank& target)
{
    std::optional<std::vector<std::uint8_t>> bytes = readFile(path);
    if (!bytes || bytes->empty()) {
        return false;
    }
    const std::size_t skip = std::min(kBankFileHeaderSize, bytes->size());
    return readBankChunk(bytes->data() + skip, bytes->size() - skip, target, nullptr).ok;
}

std::string stateFilePath(std::string_view installFolder) { return std::string(installFolder) + "tmp.sav"; }

}  // namespace pelko
