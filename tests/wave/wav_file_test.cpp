#include "wave/archive_errors.h"
#include "wave/wav_file.h"

#include "support/test_folders.h"
#include "wave_test_support.h"

#include <gtest/gtest.h>

namespace {

using pelko::WavFile;
using wave_test::WavBuilder;

std::vector<std::int16_t> readAll(const std::vector<std::uint8_t>& file)
{
    WavFile wav;
    EXPECT_TRUE(wav.parse(file)) << wav.problem();
    std::vector<std::int16_t> out(static_cast<std::size_t>(wav.frameCount()));
    wav.read(out.data());
    return out;
}

std::vector<std::uint8_t> littleEndian(const std::vector<std::int32_t>& samples, int bytes)
{
    std::vector<std::uint8_t> out;
    for (std::int32_t s : samples) {
        for (int b = 0; b < bytes; ++b) {
            out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(s) >> (8 * b)));
        }
    }
    return out;
}

TEST(WavFile, ConvertsEveryDepthToSixteenBitMono)
{
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 8).data({0, 128, 255, 129}).bytes()),
              (std::vector<std::int16_t>{-32768, 0, 32512, 256}));
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 16).data(littleEndian({-32768, -1, 0, 32767}, 2)).bytes()),
              (std::vector<std::int16_t>{-32768, -1, 0, 32767}));
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 24).data(littleEndian({0x7FFFFF, -0x800000, 0x123456, -1}, 3)).bytes()),
              (std::vector<std::int16_t>{32767, -32768, 0x1234, -1}));
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 32).data(littleEndian({0x7FFFFFFF, -0x7FFFFFFF - 1, 0x00010000, -1}, 4)).bytes()),
              (std::vector<std::int16_t>{32767, -32768, 1, -1}));
}

TEST(WavFile, StereoIsTheAverageOfShiftedChannels)
{
    // 24-bit stereo: each channel is shifted right by 8, then (left + right) / 2 toward zero.
    std::vector<std::int16_t> mono =
        readAll(WavBuilder().format(1, 2, 24).data(littleEndian({0x010000, 0x020000, -0x000100, -0x000200, 0x7FFFFF, 0x7FFFFF}, 3)).bytes());
    EXPECT_EQ(mono, (std::vector<std::int16_t>{0x0180, -1, 32767}));
    std::vector<std::int16_t> sixteen = readAll(WavBuilder().format(1, 2, 16).data(littleEndian({3, -4, -3, 0}, 2)).bytes());
    EXPECT_EQ(sixteen, (std::vector<std::int16_t>{0, -1}));
}

TEST(WavFile, ExtendedFormatChunksAndOtherChunks)
{
    // A "fmt " chunk larger than 16 bytes is skipped as a whole before "data" is searched.
    std::vector<std::int16_t> expected{100, -200, 300};
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 16, 6).chunk("LIST", {1, 2, 3, 4}).data(littleEndian({100, -200, 300}, 2)).bytes()),
              expected);
    // WAVE_FORMAT_EXTENSIBLE: 24-bit container of 20 valid bits, stereo.
    EXPECT_EQ(readAll(WavBuilder().extensible(2, 24, 20).data(littleEndian({0x001000, 0x001000, 0x7FFFF0, 0x7FFFF0}, 3)).bytes()),
              (std::vector<std::int16_t>{0x10, 0x7FFF}));
    // Chunks before "fmt " are skipped.
    EXPECT_EQ(readAll(WavBuilder().chunk("JUNK", std::vector<std::uint8_t>(28, 0)).format(1, 1, 16).data(littleEndian({100, -200, 300}, 2)).bytes()),
              expected);
}

TEST(WavFile, OddSizedChunksPaddedOrNot)
{
    std::vector<std::int16_t> expected{7, 8};
    std::vector<std::uint8_t> samples = littleEndian({7, 8}, 2);
    // Written correctly: a pad byte after the odd chunk.
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 16).chunk("note", {'a', 'b', 'c'}).data(samples).bytes()), expected);
    // Written by a writer that forgot the pad byte.
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 16).chunk("note", {'a', 'b', 'c'}, false).data(samples).bytes()), expected);
    // An odd-sized 8-bit data chunk reads all its frames.
    EXPECT_EQ(readAll(WavBuilder().format(1, 1, 8).data({128, 129, 130}).bytes()).size(), 3u);
}

TEST(WavFile, MalformedFilesAreRefused)
{
    std::vector<std::uint8_t> pcm = littleEndian({1, 2, 3, 4}, 2);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
    };
    std::vector<std::uint8_t> notRiff = WavBuilder().format(1, 1, 16).data(pcm).bytes();
    notRiff[0] = 'X';
    std::vector<std::uint8_t> shortFormat = WavBuilder().chunk("fmt ", {1, 0, 1, 0}).data(pcm).bytes();
    std::vector<std::uint8_t> cutFormat = WavBuilder().format(1, 1, 16).bytes();
    cutFormat.resize(12 + 8 + 10);
    const std::vector<Case> cases = {
        {"not RIFF", notRiff},
        {"too short", {'R', 'I', 'F', 'F'}},
        {"0 channels", WavBuilder().format(1, 0, 16).data(pcm).bytes()},
        {"3 channels", WavBuilder().format(1, 3, 16).data(pcm).bytes()},
        {"0 bits", WavBuilder().format(1, 1, 0).data(pcm).bytes()},
        {"12 bits", WavBuilder().format(1, 1, 12).data(pcm).bytes()},
        {"7 bits", WavBuilder().format(1, 1, 7).data(pcm).bytes()},
        {"64 bits", WavBuilder().format(1, 1, 64).data(pcm).bytes()},
        {"float samples", WavBuilder().format(3, 1, 32).data(pcm).bytes()},
        {"extensible float", WavBuilder().extensible(1, 32, 32, 3).data(pcm).bytes()},
        {"extensible too short", WavBuilder().format(0xFFFE, 1, 16).data(pcm).bytes()},
        {"more valid bits than the container", WavBuilder().extensible(1, 16, 24).data(pcm).bytes()},
        {"no data chunk", WavBuilder().format(1, 1, 16).chunk("LIST", {1, 2}).bytes()},
        {"no format chunk", WavBuilder().data(pcm).bytes()},
        {"format chunk too short", shortFormat},
        {"format chunk cut off", cutFormat},
        {"chunk size past the end", WavBuilder().format(1, 1, 16).chunk("LIST", {1, 2}).bytes()},
    };
    for (const Case& c : cases) {
        WavFile wav;
        std::vector<std::uint8_t> file = c.file;
        if (std::string(c.what) == "chunk size past the end") {
            file[file.size() - 6] = 0xFF;  // LIST claims far more than the file holds
        }
        EXPECT_FALSE(wav.parse(file)) << c.what;
        EXPECT_EQ(wav.errorCode(), pelko::kArchiveBadFileFormat) << c.what;
        EXPECT_FALSE(wav.problem().empty()) << c.what;
        EXPECT_EQ(wav.frameCount(), 0) << c.what;
    }
}

TEST(WavFile, DataSizePastTheEndIsVisibleBeforeReading)
{
    std::vector<std::uint8_t> file = WavBuilder().format(1, 1, 16).data(littleEndian({1, 2, 3, 4}, 2)).bytes();
    file[file.size() - 8 - 4 + 3] = 0x10;  // the data chunk now claims 256 MB
    WavFile wav;
    ASSERT_TRUE(wav.parse(file));
    EXPECT_GT(wav.dataSize(), wav.availableDataSize());
    EXPECT_EQ(wav.availableDataSize(), 8u);
}

TEST(WavFile, OpeningFiles)
{
    testing_support::TempFolder folder;
    WavFile wav;
    EXPECT_FALSE(wav.open(folder.file("missing.wav")));
    EXPECT_EQ(wav.errorCode(), pelko::kArchiveFileNotFound);
    wave_test::writeFile(folder.file("ok.wav"), WavBuilder().format(1, 1, 16).data(littleEndian({5, 6}, 2)).bytes());
    ASSERT_TRUE(wav.open(folder.file("ok.wav")));
    EXPECT_EQ(wav.frameCount(), 2);
    EXPECT_EQ(wav.channels(), 1);
    EXPECT_EQ(wav.bitsPerSample(), 16);
    EXPECT_EQ(wav.sampleRate(), 44100u);
}

}  // namespace
