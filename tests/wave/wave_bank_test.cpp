#include "wave/archive_errors.h"
#include "wave/wave.h"
#include "wave/wave_bank.h"

#include "platform/file_system.h"
#include "platform/threads.h"
#include "support/test_folders.h"
#include "wave_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts heap allocations while a test asks for it. (The replacement pairs malloc with free,
// which the compiler cannot see through.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<bool> countAllocations{false};
std::atomic<int> allocations{0};
}  // namespace

void* operator new(std::size_t size)
{
    if (countAllocations.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace pelko;
using testing_support::TempFolder;
using wave_test::RecordedMessages;
using wave_test::WavBuilder;
using wave_test::writeFile;

std::vector<std::int16_t> ramp(int length, int start, int step)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < length; ++i) {
        samples.push_back(static_cast<std::int16_t>(start + i * step));
    }
    return samples;
}

struct Entry {
    std::string name;
    std::vector<std::uint8_t> data;
    int method;
};

Entry text(const std::string& name, const std::string& body) { return {name, {body.begin(), body.end()}, kMethodStored}; }
Entry samples(const std::string& name, const std::vector<std::int16_t>& s)
{
    return {name, wave_test::sampleBytes(s), kMethodSampleCodec};
}

void writeArchive(const std::string& path, const std::vector<Entry>& entries, bool old = false)
{
    std::vector<std::uint8_t> image = old ? std::vector<std::uint8_t>{'S', 'F', 'V', '_'} : newArchiveHeader();
    for (const Entry& e : entries) {
        ASSERT_EQ(appendArchiveEntry(image, e.name, e.data.data(), e.data.size(), e.method), kArchiveOk);
    }
    writeFile(path, image);
}

// An install folder with two archives (and an outdated one sorted between them when asked) and
// one external wave.
class InstallFolder {
public:
    explicit InstallFolder(bool withOutdated = false)
    {
        makeFolders(folder_.path() + "waves/External");
        writeArchive(folder_.path() + "waves/A.vfs",
                     {text("Test\\Layers", "; two zones, the second overlapping the first\n"
                                           "C0-B5|Test\\Low.pcm|A5|0|2\n"
                                           "C5-G10|Test\\High.pcm|880Hz|1200|0\n"),
                      samples("Test\\Low.pcm", ramp(100, 0, 10)), samples("Test\\High.pcm", ramp(50, 1000, -3)),
                      text("Test\\Loop At End", "C0-G10|Test\\High.pcm|A5|0|50\n"),
                      text("Test\\Loop Last", "C0-G10|Test\\High.pcm|A5|0|49\n"),
                      text("Test\\Fields", "C0-G10|Test\\High.pcm|A5|0\n"),
                      text("Test\\Range", "C0|Test\\High.pcm|A5|0|0\n"),
                      text("Test\\Missing Samples", "C0-G10|Test\\Nothing.pcm|A5|0|0\n"),
                      text("Shared\\Name", "C0-G10|Test\\High.pcm|A5|0|0\n")});
        if (withOutdated) {
            writeArchive(folder_.path() + "waves/B old.vfs", {text("Old\\Wave", "C0-G10|x.pcm|A5|0|0\n")}, true);
        }
        writeArchive(folder_.path() + "waves/C.vfs", {text("Shared\\Name", "C0-G10|s.pcm|A5|0|0\n"),
                                                      samples("s.pcm", ramp(10, 5, 5)),
                                                      text("Other\\Wave", "C0-G10|s.pcm|A5|0|0\n")});
        writeFile(folder_.path() + "waves/not an archive.vfs", std::string("nothing"));
        // Stereo 24-bit, averaged to mono 16-bit.
        std::vector<std::uint8_t> frames;
        for (int i = 0; i < 64; ++i) {
            for (int v : {i * 512, i * 512 + 256}) {
                for (int b = 0; b < 3; ++b) {
                    frames.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
                }
            }
        }
        writeFile(folder_.path() + "waves/External/pad.wav", WavBuilder().format(1, 2, 24).data(frames).bytes());
        writeFile(folder_.path() + "waves/External/Pad.txt", std::string("Mine\r\nC0-G10|pad.wav|A5|0|0\r\n"));
        writeFile(folder_.path() + "waves/External/Absolute.txt",
                  "Mine\n" + std::string("C0-G10|") + folder_.path() + "waves/External/pad.wav|A5|0|8\n");
        writeFile(folder_.path() + "waves/External/Broken.txt", std::string("Other Group\nC0-G10|broken.wav|A5|0|0\n"));
        writeFile(folder_.path() + "waves/External/broken.wav", WavBuilder().format(1, 3, 16).data({0, 0, 0, 0, 0, 0}).bytes());
    }
    const std::string& path() const { return folder_.path(); }

private:
    TempFolder folder_;
};

TEST(WaveBank, BuildsFromArchivesAndExternalDescriptions)
{
    InstallFolder install;
    WaveBank bank(install.path());
    ASSERT_EQ(bank.archives().size(), 2u) << "a file that is no archive is skipped";
    std::vector<ArchiveListing> listings = bank.archiveListings();
    EXPECT_EQ(listings[0].archiveName, "A.vfs");
    EXPECT_EQ(listings[0].waveNames.size(), 7u);
    EXPECT_EQ(listings[0].waveNames.front(), "Test\\Layers");
    EXPECT_EQ(listings[1].waveNames, (std::vector<std::string>{"Shared\\Name", "Other\\Wave"}));
    EXPECT_EQ(bank.externalWaveCount(), 3);
    ASSERT_EQ(bank.externalGroups().count("Mine"), 1u);
    EXPECT_EQ(bank.externalGroups().at("Mine"), (std::vector<std::string>{"Absolute.txt", "Pad.txt"}));
    std::vector<ExternalWave> external = bank.externalWaves();
    ASSERT_EQ(external.size(), 3u);
    EXPECT_EQ(external[1].waveName, "Mine\\Pad");
}

TEST(WaveBank, BuildsZonesKeyMapAndGuardSamples)
{
    InstallFolder install;
    WaveBank bank(install.path());
    RecordedMessages messages;
    WaveSlot slot;
    ASSERT_EQ(bank.loadWave("Test\\Layers", slot), kArchiveOk);
    const Wave* wave = slot.wave();
    ASSERT_NE(wave, nullptr);
    ASSERT_EQ(wave->zoneCount(), 2);
    // The later line wins where ranges overlap (C5 = key 60 up to B5).
    EXPECT_EQ(wave->keyMap()[59], 0);
    EXPECT_EQ(wave->keyMap()[60], 1);
    EXPECT_EQ(wave->keyMap()[71], 1);
    EXPECT_EQ(wave->keyMap()[127], 1);
    const WaveZone& low = wave->zoneForKey(-5);
    EXPECT_EQ(low.length, 100u);
    EXPECT_EQ(low.loopStart, 2);
    EXPECT_FLOAT_EQ(low.rootFrequency, 440.0f);
    // Four guard samples repeat the loop's start.
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(low.samples[100 + j], low.samples[2 + j]);
    }
    EXPECT_EQ(low.samples[99], 990);
    const WaveZone& high = wave->zone(1);
    EXPECT_FLOAT_EQ(high.rootFrequency, 440.0f) << "880 Hz lowered by 1200 cents";
    EXPECT_EQ(high.samples[49], 1000 - 3 * 49);
    EXPECT_EQ(messages.count(), 0u);

    // A loop start on the last sample: the guard samples repeat the one-sample loop.
    ASSERT_EQ(bank.loadWave("Test\\Loop Last", slot), kArchiveOk);
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(slot.wave()->zone(0).samples[50 + j], 1000 - 3 * 49);
    }
}

TEST(WaveBank, FailedLoadsReportAndLeaveTheSlotAsItWas)
{
    InstallFolder install;
    WaveBank bank(install.path());
    RecordedMessages messages;
    WaveSlot slot;
    ASSERT_EQ(bank.loadWave("Other\\Wave", slot), kArchiveOk);
    const Wave* before = slot.wave();

    EXPECT_EQ(bank.loadWave("Test\\Loop At End", slot), kArchiveBadFileFormat);
    ASSERT_EQ(messages.count(), 2u);
    EXPECT_EQ(messages.messages()[0].text, "Loop point is out of range.");
    EXPECT_EQ(messages.messages()[0].caption, "Test\\High.pcm");
    EXPECT_EQ(messages.messages()[1].text, "An error occured while loading a waveform.\nTest\\Loop At End:Bad file format");
    EXPECT_EQ(messages.messages()[1].caption, "Pelko Error");
    EXPECT_EQ(slot.wave(), before);

    EXPECT_EQ(bank.loadWave("Test\\Fields", slot), kArchiveBadFileFormat);
    EXPECT_EQ(messages.messages()[2].text, "4 splits: C0-G10|Test\\High.pcm|A5|0\n");
    EXPECT_EQ(messages.messages()[2].caption, "error");
    EXPECT_EQ(bank.loadWave("Test\\Range", slot), kArchiveBadFileFormat);
    EXPECT_EQ(messages.messages()[4].text, "error on range");
    EXPECT_EQ(bank.loadWave("Test\\Missing Samples", slot), kArchiveFileNotFound);
    EXPECT_EQ(messages.messages()[6].text, "An error occured while loading a waveform.\nTest\\Missing Samples:File not found");
    EXPECT_EQ(bank.loadWave("No\\Such Wave", slot), kArchiveFileNotFound);
    // Sample data is never read as a description.
    EXPECT_EQ(bank.loadWave("Test\\Low.pcm", slot), kArchiveFileNotFound);
    // A WAV file with three channels.
    EXPECT_EQ(bank.loadWave("Other Group\\Broken", slot), kArchiveBadFileFormat);
    EXPECT_EQ(slot.wave(), before);
    std::size_t shown = messages.count();
    EXPECT_EQ(bank.loadWave("", slot), kArchiveFileNotFound);
    EXPECT_EQ(messages.count(), shown);
}

TEST(WaveBank, ArchivesAreSearchedInOrderThenExternalWaves)
{
    InstallFolder install;
    WaveBank bank(install.path());
    std::shared_ptr<const Wave> wave;
    // "Shared\Name" is in both archives: the first one's (50 samples) wins.
    ASSERT_EQ(bank.findWave("Shared\\Name", wave), kArchiveOk);
    EXPECT_EQ(wave->zone(0).length, 50u);
    // External: stereo 24-bit averaged to mono 16-bit: ((i·512 + i·512 + 256) >> 8) / 2.
    ASSERT_EQ(bank.findWave("Mine\\Pad", wave), kArchiveOk);
    ASSERT_EQ(wave->zone(0).length, 64u);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(wave->zone(0).samples[i], (2 * i + 2 * i + 1) / 2);
    }
    ASSERT_EQ(bank.findWave("Mine\\Absolute", wave), kArchiveOk);
    EXPECT_EQ(wave->zone(0).loopStart, 8);
    EXPECT_EQ(wave->zone(0).samples[64], wave->zone(0).samples[8]);
}

TEST(WaveBank, OutdatedArchiveStopsTheSearchWithOneMessage)
{
    InstallFolder install(true);
    RecordedMessages messages;
    WaveBank bank(install.path());
    ASSERT_EQ(messages.count(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Your Pelko Wavetable Files (.vfs) are outdated.");
    ASSERT_EQ(bank.archives().size(), 1u);
    EXPECT_EQ(bank.archives()[0]->name(), "A.vfs");
    EXPECT_EQ(bank.externalWaveCount(), 3) << "external waves are still collected";
}

TEST(WaveBank, NoInstallFolderMeansNoWaves)
{
    WaveBank bank("");
    std::shared_ptr<const Wave> wave;
    EXPECT_TRUE(bank.archives().empty());
    EXPECT_EQ(bank.findWave("Single Cycle\\Sine", wave), kArchiveFileNotFound);
}

TEST(WaveBank, SharedByInstancesUntilTheLastRelease)
{
    InstallFolder install;
    EXPECT_EQ(WaveBank::shared(), nullptr);
    WaveBank& first = WaveBank::acquire(install.path());
    WaveBank& second = WaveBank::acquire("/elsewhere/");
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.installFolder(), install.path());
    WaveBank::release();
    EXPECT_EQ(WaveBank::shared(), &first);
    WaveBank::release();
    EXPECT_EQ(WaveBank::shared(), nullptr);
    WaveBank::release();  // one release too many does no harm
    WaveBank& again = WaveBank::acquire(install.path());
    EXPECT_EQ(again.archives().size(), 2u);
    WaveBank::release();
}

TEST(WaveBank, DecodedWavesAreSharedAndReachableWithoutAllocating)
{
    InstallFolder install;
    WaveBank bank(install.path());
    WaveSlot a, b, audio;
    ASSERT_EQ(bank.loadWave("Test\\Layers", a), kArchiveOk);
    ASSERT_EQ(bank.loadWave("Test\\Layers", b), kArchiveOk);
    EXPECT_EQ(a.wave(), b.wave());
    // External waves are read again on every load from the user interface (edits show up).
    ASSERT_EQ(bank.loadWave("Mine\\Pad", a), kArchiveOk);
    ASSERT_EQ(bank.loadWave("Mine\\Pad", b), kArchiveOk);
    EXPECT_NE(a.wave(), b.wave());

    std::shared_ptr<const Wave> previous;
    allocations = 0;
    countAllocations = true;
    bool hit;
    bool miss;
    {
        AudioThreadScope scope;
        hit = bank.loadCachedWave("Test\\Layers", audio, previous);
        miss = bank.loadCachedWave("Never\\Loaded", audio, previous);
        const WaveZone& zone = audio.wave()->zoneForKey(10);
        hit = hit && zone.length == 100u;
    }
    countAllocations = false;
    EXPECT_TRUE(hit);
    EXPECT_FALSE(miss);
    EXPECT_EQ(allocations.load(), 0);
    WaveSlot fresh;
    ASSERT_EQ(bank.loadWave("Test\\Layers", fresh), kArchiveOk);
    EXPECT_EQ(audio.wave(), fresh.wave());
}

TEST(Wave, BuildsFromZonesInMemory)
{
    KeyMap keys{};
    for (int k = 64; k < 128; ++k) {
        keys[static_cast<std::size_t>(k)] = 1;
    }
    std::vector<ZoneSamples> zones(2);
    zones[0].samples = ramp(4096, -2048, 1);
    zones[0].rootFrequency = 44100.0f / 4096.0f;
    zones[1].samples = {10, 20, 30};
    zones[1].loopStart = 1;
    zones[1].rootFrequency = 440.0f;
    std::shared_ptr<const Wave> wave = Wave::build(zones, keys);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->zoneForKey(63).length, 4096u);
    EXPECT_EQ(wave->zoneForKey(200).length, 3u);
    // A loop of two samples: the guard samples keep alternating within it.
    const std::int16_t* s = wave->zone(1).samples;
    EXPECT_EQ(std::vector<std::int16_t>(s, s + 7), (std::vector<std::int16_t>{10, 20, 30, 20, 30, 20, 30}));
    EXPECT_EQ(wave->zone(0).samples[4096], -2048);
    EXPECT_EQ(wave->zone(0).samples[4099], -2045);

    std::string problem;
    auto broken = [&](auto change) {
        std::vector<ZoneSamples> copy = zones;
        KeyMap map = keys;
        change(copy, map);
        return Wave::build(copy, map, &problem) == nullptr && !problem.empty();
    };
    EXPECT_TRUE(broken([](auto& z, auto&) { z[1].samples.clear(); }));
    EXPECT_TRUE(broken([](auto& z, auto&) { z[1].loopStart = 3; }));
    EXPECT_TRUE(broken([](auto& z, auto&) { z[1].loopStart = -1; }));
    EXPECT_TRUE(broken([](auto& z, auto&) { z[0].rootFrequency = 0.0f; }));
    EXPECT_TRUE(broken([](auto& z, auto&) { z[0].rootFrequency = std::numeric_limits<float>::infinity(); }));
    EXPECT_TRUE(broken([](auto&, auto& m) { m[5] = 2; }));
    EXPECT_TRUE(broken([](auto& z, auto&) { z.clear(); }));
    EXPECT_TRUE(broken([](auto& z, auto&) { z.resize(257, z[1]); }));
}

TEST(WaveSlot, ReplaceHandsBackThePreviousWave)
{
    KeyMap keys{};
    std::vector<ZoneSamples> zones(1);
    zones[0].samples = {1, 2, 3, 4};
    zones[0].rootFrequency = 100.0f;
    std::shared_ptr<const Wave> first = Wave::build(zones, keys);
    std::shared_ptr<const Wave> second = Wave::build(zones, keys);
    WaveSlot slot;
    EXPECT_TRUE(slot.empty());
    EXPECT_EQ(slot.replace(first), nullptr);
    EXPECT_EQ(slot.replace(second), first);
    EXPECT_EQ(slot.clear(), second);
    EXPECT_TRUE(slot.empty());
}

}  // namespace
