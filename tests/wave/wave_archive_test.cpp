#include "wave/archive_checksum.h"
#include "wave/archive_errors.h"
#include "wave/archive_format.h"
#include "wave/wave_archive.h"

#include "support/test_folders.h"
#include "wave_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pelko;
using testing_support::TempFolder;
using wave_test::writeFile;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// An archive with a text entry and a sample entry.
std::vector<std::uint8_t> sampleArchive()
{
    std::vector<std::uint8_t> image = newArchiveHeader();
    std::vector<std::uint8_t> text = bytesOf("C0-G10|tone.pcm|A5|0|0\n");
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 500; ++i) {
        samples.push_back(static_cast<std::int16_t>(i * 60 - 15000));
    }
    std::vector<std::uint8_t> pcm = wave_test::sampleBytes(samples);
    EXPECT_EQ(appendArchiveEntry(image, "Tone", text.data(), text.size(), kMethodStored), kArchiveOk);
    EXPECT_EQ(appendArchiveEntry(image, "tone.pcm", pcm.data(), pcm.size(), kMethodSampleCodec), kArchiveOk);
    return image;
}

TEST(WaveArchive, ErrorTexts)
{
    const char* expected[] = {"", "Out of memory", "Bad format", "File not found", "Vfs not mounted", "Bad crc",
                              "Bad offset", "Read error", "File is already present", "Bad file format"};
    for (int code = 0; code <= 9; ++code) {
        EXPECT_STREQ(errorText(code), expected[code]);
    }
}

TEST(WaveArchive, ChecksumFoldsTheRunningSum)
{
    const std::uint8_t bytes[] = {1, 2, 3};
    // sums 1, 3, 6 → 1 ^ 3 ^ 6 = 4
    EXPECT_EQ(archiveChecksum(bytes, 3), 4u);
    EXPECT_EQ(archiveChecksum(bytes, 0), 0u);
}

TEST(WaveArchive, CreateAddReadAndRemount)
{
    TempFolder folder;
    std::string path = folder.file("new.vfs");
    WaveArchive archive;
    ASSERT_EQ(archive.mount(path, kMountCreate), kArchiveOk);
    EXPECT_EQ(archive.name(), "new.vfs");
    EXPECT_EQ(archive.majorVersion(), 1);
    EXPECT_EQ(archive.minorVersion(), 0);
    EXPECT_TRUE(archive.entries().empty());
    EXPECT_EQ(archive.fileSize(), 12u);

    std::vector<std::uint8_t> text = bytesOf("hello");
    std::vector<std::uint8_t> pcm = wave_test::sampleBytes({0, 100, -100, 32767, -32768, 5});
    ASSERT_EQ(archive.addEntry("Group\\Text", text.data(), text.size(), kMethodStored), kArchiveOk);
    ASSERT_EQ(archive.addEntry("Group\\Samples.pcm", pcm.data(), pcm.size(), kMethodSampleCodec), kArchiveOk);
    EXPECT_EQ(archive.addEntry("Group\\Text", text.data(), text.size(), kMethodStored), kArchiveAlreadyPresent);
    // A batch naming one entry twice is refused as a whole.
    NewArchiveEntry twice{"Twice", text, kMethodStored};
    EXPECT_EQ(archive.addEntries({twice, twice}), kArchiveAlreadyPresent);
    EXPECT_EQ(archive.findEntry("Twice"), nullptr);
    // The codec cannot hold an odd number of bytes; unknown methods are refused.
    EXPECT_EQ(archive.addEntry("odd", text.data(), text.size(), kMethodSampleCodec), kArchiveBadFileFormat);
    EXPECT_EQ(archive.addEntry("m2", text.data(), text.size(), 2), kArchiveBadFileFormat);
    EXPECT_EQ(archive.addEntry("", text.data(), text.size(), kMethodStored), kArchiveBadFileFormat);

    WaveArchive reader;
    ASSERT_EQ(reader.mount(path, kMountRead), kArchiveOk);
    ASSERT_EQ(reader.entries().size(), 2u);
    EXPECT_EQ(reader.entries()[0].name, "Group\\Text");
    EXPECT_EQ(reader.entries()[1].method(), kMethodSampleCodec);
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;
    ASSERT_EQ(reader.readEntry("Group\\Text", buffer, size), kArchiveOk);
    ASSERT_EQ(size, 5u);
    ASSERT_EQ(buffer.size(), 6u);
    EXPECT_EQ(buffer[5], 0) << "text entries end with a 0 byte";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())), "hello");
    ASSERT_EQ(reader.readEntry("Group\\Samples.pcm", buffer, size), kArchiveOk);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + static_cast<long>(size)), pcm);
    // A read-only archive takes no additions.
    EXPECT_EQ(reader.addEntry("x", text.data(), text.size(), kMethodStored), kArchiveReadError);

    // Mode 1 keeps what is there and adds after it.
    WaveArchive appender;
    ASSERT_EQ(appender.mount(path, kMountAppend), kArchiveOk);
    ASSERT_EQ(appender.addEntry("Third", text.data(), text.size(), kMethodStored), kArchiveOk);
    EXPECT_EQ(appender.entries().size(), 3u);
}

TEST(WaveArchive, MountFailuresAndUnmountedReads)
{
    TempFolder folder;
    WaveArchive archive;
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;
    EXPECT_EQ(archive.readEntry("x", buffer, size), kArchiveNotMounted);
    EXPECT_EQ(archive.mount(folder.file("missing.vfs"), kMountRead), kArchiveFileNotFound);
    EXPECT_EQ(archive.mount(folder.file("missing.vfs"), kMountAppend), kArchiveFileNotFound);
    EXPECT_FALSE(archive.mounted());

    writeFile(folder.file("wrong.vfs"), std::string("RIFF1234WAVE"));
    EXPECT_EQ(archive.mount(folder.file("wrong.vfs"), kMountRead), kArchiveBadFormat);
    writeFile(folder.file("short.vfs"), std::string("sf"));
    EXPECT_EQ(archive.mount(folder.file("short.vfs"), kMountRead), kArchiveBadFormat);
    // The current magic without its version numbers.
    writeFile(folder.file("noversion.vfs"), std::string("sfv_\x01\x00", 6));
    EXPECT_EQ(archive.mount(folder.file("noversion.vfs"), kMountRead), kArchiveBadFormat);

    ASSERT_EQ(archive.mountMemory(sampleArchive().data(), sampleArchive().size(), "mem.vfs"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("absent", buffer, size), kArchiveFileNotFound);
    archive.unmount();
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveNotMounted);
    EXPECT_TRUE(archive.entries().empty());
}

TEST(WaveArchive, OldMagicMountsAsVersionZero)
{
    std::vector<std::uint8_t> image{'S', 'F', 'V', '_'};
    std::vector<std::uint8_t> body = bytesOf("abc");
    ASSERT_EQ(appendArchiveEntry(image, "entry", body.data(), body.size(), kMethodStored), kArchiveOk);
    WaveArchive archive;
    ASSERT_EQ(archive.mountMemory(image.data(), image.size(), "old.vfs"), kArchiveOk);
    EXPECT_EQ(archive.majorVersion(), 0);
    EXPECT_EQ(archive.minorVersion(), 0);
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;
    EXPECT_EQ(archive.readEntry("entry", buffer, size), kArchiveOk);
    EXPECT_EQ(size, 3u);
}

TEST(WaveArchive, DamagedEntriesAreReportedAndYieldNoData)
{
    const std::vector<std::uint8_t> good = sampleArchive();
    const std::size_t textData = 12 + 5 + 13;  // header, "Tone\0", entry header
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;
    WaveArchive archive;

    // A flipped byte in stored data and in codec data.
    std::vector<std::uint8_t> flipped = good;
    flipped[textData + 3] ^= 0x01;
    ASSERT_EQ(archive.mountMemory(flipped.data(), flipped.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveBadCrc);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(size, 0u);
    flipped = good;
    flipped[flipped.size() - 20] ^= 0x10;
    ASSERT_EQ(archive.mountMemory(flipped.data(), flipped.size(), "a"), kArchiveOk);
    int code = archive.readEntry("tone.pcm", buffer, size);
    EXPECT_TRUE(code == kArchiveBadCrc || code == kArchiveBadOffset) << code;

    // Truncated inside the last entry's data: the entries before it still read.
    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 10);
    ASSERT_EQ(archive.mountMemory(truncated.data(), truncated.size(), "a"), kArchiveOk);
    EXPECT_TRUE(archive.damagedTail());
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveOk);
    EXPECT_EQ(archive.readEntry("tone.pcm", buffer, size), kArchiveBadOffset);
    // Truncated inside an entry header or name: the entry is not listed at all.
    for (std::size_t cut : {textData - 3, std::size_t(14)}) {
        std::vector<std::uint8_t> cutShort(good.begin(), good.begin() + static_cast<long>(cut));
        ASSERT_EQ(archive.mountMemory(cutShort.data(), cutShort.size(), "a"), kArchiveOk);
        EXPECT_TRUE(archive.damagedTail());
        EXPECT_TRUE(archive.entries().empty());
    }

    // A packed size past the end of the file.
    std::vector<std::uint8_t> pastEnd = good;
    pastEnd[12 + 5 + 5] = 0xFF;  // low byte of Tone's packed size
    pastEnd[12 + 5 + 8] = 0x7F;
    ASSERT_EQ(archive.mountMemory(pastEnd.data(), pastEnd.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveBadOffset);
    EXPECT_EQ(archive.findEntry("tone.pcm"), nullptr);

    // A stored entry whose unpacked size differs from its packed size.
    std::vector<std::uint8_t> mismatch = good;
    mismatch[12 + 5 + 1] += 1;
    ASSERT_EQ(archive.mountMemory(mismatch.data(), mismatch.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveBadOffset);

    // An unknown storage method (the high four bits of the flags are ignored).
    std::vector<std::uint8_t> method = good;
    method[12 + 5] = 0xF0;
    ASSERT_EQ(archive.mountMemory(method.data(), method.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveOk);
    method[12 + 5] = 0x03;
    ASSERT_EQ(archive.mountMemory(method.data(), method.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("Tone", buffer, size), kArchiveBadOffset);
}

TEST(WaveArchive, CodecEntrySizesAreCheckedBeforeAllocating)
{
    const std::vector<std::uint8_t> good = sampleArchive();
    const ArchiveEntry* pcm = nullptr;
    WaveArchive archive;
    ASSERT_EQ(archive.mountMemory(good.data(), good.size(), "a"), kArchiveOk);
    pcm = archive.findEntry("tone.pcm");
    ASSERT_NE(pcm, nullptr);
    const std::size_t header = static_cast<std::size_t>(pcm->dataPosition) - kEntryHeaderSize;
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;

    auto withUnpacked = [&](std::uint32_t unpacked) {
        std::vector<std::uint8_t> image = good;
        for (int i = 0; i < 4; ++i) {
            image[header + 1 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(unpacked >> (8 * i));
        }
        return image;
    };
    // Asks for 4 GB: refused as out of memory, nothing allocated.
    std::vector<std::uint8_t> huge = withUnpacked(0xFFFFFFFE);
    ASSERT_EQ(archive.mountMemory(huge.data(), huge.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("tone.pcm", buffer, size), kArchiveOutOfMemory);
    // Does not match the decoded data.
    std::vector<std::uint8_t> other = withUnpacked(998);
    ASSERT_EQ(archive.mountMemory(other.data(), other.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("tone.pcm", buffer, size), kArchiveBadOffset);
    // The stored sample count claims more samples than the stream can hold.
    std::vector<std::uint8_t> count = withUnpacked(2 * 0x00FFFFFF);
    const std::size_t data = static_cast<std::size_t>(pcm->dataPosition);
    count[data] = 0xFF;
    count[data + 1] = 0xFF;
    count[data + 2] = 0xFF;
    count[data + 3] = 0x00;
    ASSERT_EQ(archive.mountMemory(count.data(), count.size(), "a"), kArchiveOk);
    EXPECT_EQ(archive.readEntry("tone.pcm", buffer, size), kArchiveBadOffset);
}

TEST(WaveArchive, EmptyEntriesReadAndDuplicatesKeepTheFirst)
{
    std::vector<std::uint8_t> image = newArchiveHeader();
    std::vector<std::uint8_t> one = bytesOf("first"), two = bytesOf("second");
    appendArchiveEntry(image, "empty", nullptr, 0, kMethodStored);
    appendArchiveEntry(image, "empty codec", nullptr, 0, kMethodSampleCodec);
    appendArchiveEntry(image, "same", one.data(), one.size(), kMethodStored);
    appendArchiveEntry(image, "same", two.data(), two.size(), kMethodStored);
    WaveArchive archive;
    ASSERT_EQ(archive.mountMemory(image.data(), image.size(), "a"), kArchiveOk);
    std::vector<std::uint8_t> buffer;
    std::size_t size = 7;
    EXPECT_EQ(archive.readEntry("empty", buffer, size), kArchiveOk);
    EXPECT_EQ(size, 0u);
    ASSERT_EQ(buffer.size(), 1u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(archive.readEntry("empty codec", buffer, size), kArchiveOk);
    EXPECT_EQ(archive.readEntry("same", buffer, size), kArchiveOk);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())), "first");
    EXPECT_EQ(archive.entries().size(), 4u);
    EXPECT_FALSE(archive.damagedTail());
}

}  // namespace
