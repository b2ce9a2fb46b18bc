#include "preset_file.h"

#include "plugin/vst2_abi.h"
#include "params/byte_stream.h"

#include <gtest/gtest.h>

using namespace render;

namespace {

// A chunk-form file: header fields, then the chunk.
std::vector<std::uint8_t> presetFile(bool bank, const char* form, std::int32_t id, std::uint32_t declaredSize,
                                     const std::vector<std::uint8_t>& chunk)
{
    pelko::ByteWriter w;
    w.putBytes("CcnK", 4);
    w.putInt32(static_cast<std::int32_t>((bank ? kBankHeaderBytes : kProgramHeaderBytes) - 8 + chunk.size()));
    w.putBytes(form, 4);
    w.putInt32(1);
    w.putInt32(id);
    w.putInt32(1);
    w.putInt32(bank ? 64 : 208);
    w.putZeros(bank ? 128 : 28);
    w.putInt32(static_cast<std::int32_t>(declaredSize));
    w.putBytes(chunk.data(), chunk.size());
    return w.take();
}

constexpr std::int32_t kId = vst2::fourCC('P', 'K', 'V', '4');

}  // namespace

TEST(PresetFile, TakesTheChunkAfterTheHeader)
{
    std::vector<std::uint8_t> chunk = {1, 2, 3, 4, 5, 6, 7};
    std::string error;
    auto bank = readPresetChunk(presetFile(true, "FBCh", kId, 7, chunk), true, error);
    ASSERT_TRUE(bank) << error;
    EXPECT_TRUE(bank->bank);
    EXPECT_EQ(bank->pluginId, kId);
    EXPECT_EQ(bank->chunk, chunk);
    EXPECT_EQ(fourCharacterText(bank->pluginId), "PKV4");

    // Bytes after the declared chunk are not part of it.
    std::vector<std::uint8_t> file = presetFile(false, "FPCh", kId, 4, chunk);
    ASSERT_EQ(file.size(), kProgramHeaderBytes + 7);
    auto program = readPresetChunk(file, false, error);
    ASSERT_TRUE(program) << error;
    EXPECT_EQ(program->chunk, std::vector<std::uint8_t>({1, 2, 3, 4}));
}

TEST(PresetFile, RefusesFilesItCannotHandTheModule)
{
    std::vector<std::uint8_t> chunk(10, 9);
    std::vector<std::uint8_t> truncated = presetFile(true, "FBCh", kId, 10, chunk);
    truncated.resize(100);
    std::vector<std::uint8_t> notPreset(200, 'x');
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool bank;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {"not a preset", notPreset, true, "no CcnK header"},
        {"empty", {}, false, "no CcnK header"},
        {"program given as bank", presetFile(false, "FPCh", kId, 10, chunk), true, "is a program file; load it with --program"},
        {"bank given as program", presetFile(true, "FBCh", kId, 10, chunk), false, "is a bank file; load it with --bank"},
        {"parameter list", presetFile(false, "FxCk", kId, 10, chunk), false, "list of parameter values"},
        {"unknown form", presetFile(true, "ABCD", kId, 10, chunk), true, "unknown preset form 'ABCD'"},
        {"truncated header", truncated, true, "ends inside its 160-byte header"},
        {"chunk size too large", presetFile(true, "FBCh", kId, 11, chunk), true, "chunk size 11 exceeds the 10 bytes"},
        {"huge chunk size", presetFile(false, "FPCh", kId, 0xFFFFFFF0u, chunk), false, "chunk size 4294967280 exceeds"},
        {"empty chunk", presetFile(false, "FPCh", kId, 0, {}), false, "chunk is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(readPresetChunk(c.bytes, c.bank, error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
}
