// Measurements of the built module through the host harness, for comparing two builds in one run.
//
//   pelko-measure compare REFERENCE.so
//       Plays the same phrase on every program of the factory bank in this build's module and in
//       REFERENCE.so and prints, per program, the level of the difference relative to the signal
//       (dB; "identical" when every sample is equal) and the render time of each module. Exits 1
//       when a program differs by more than −100 dB.
//   pelko-measure instances N [MODULE.so]
//       Opens N instances one after another (this build's module unless MODULE.so is given) and
//       prints each one's construction time (wall clock and processor time) and the growth of the
//       process's resident memory.
#include "host_module.h"
#include "private_install.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kBlock = 256;
constexpr float kRate = 44100.0f;
constexpr int kPrograms = 64;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process (user and system), in milliseconds: on a busy machine it tells
// what an instance costs better than the wall clock does.
double processorMilliseconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double residentMegabytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

bool openInstance(host::HostModule& module, const std::string& path)
{
    if (!module.load(path) || module.instantiate() == nullptr) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), module.error().c_str());
        return false;
    }
    module.open();
    module.setSampleRate(kRate);
    module.setBlockSize(kBlock);
    module.resume();
    return true;
}

struct Render {
    std::vector<float> samples;  // left then right, block by block
    double milliseconds = 0.0;
};

// A four-note chord held for a second with the pitch wheel moving, released, then a second of tail.
Render playPhrase(host::HostModule& module, int program)
{
    module.setProgram(program);
    Render out;
    std::vector<float> left, right;
    const int blocks = static_cast<int>(2.0f * kRate) / kBlock;
    const auto start = Clock::now();
    for (int b = 0; b < blocks; ++b) {
        std::vector<vst2::VstMidiEvent> events;
        if (b == 0) {
            for (std::uint8_t note : {48, 55, 60, 64}) {
                events.push_back(host::midiEvent(0, 0x90, note, 100));
            }
        }
        if (b > 0 && b < blocks / 2 && b % 8 == 0) {
            events.push_back(host::midiEvent(0, 0xE0, 0, static_cast<std::uint8_t>(64 + (b / 8) % 16)));
        }
        if (b == blocks / 2) {
            for (std::uint8_t note : {48, 55, 60, 64}) {
                events.push_back(host::midiEvent(17, 0x80, note, 0));
            }
        }
        if (!events.empty()) {
            module.sendMidi(events);
        }
        module.processReplacing(left, right, kBlock);
        out.samples.insert(out.samples.end(), left.begin(), left.end());
        out.samples.insert(out.samples.end(), right.begin(), right.end());
    }
    out.milliseconds = millisecondsSince(start);
    // Silence and a centred wheel for the next program.
    module.sendMidi({host::midiEvent(0, 0xB0, 123, 0), host::midiEvent(0, 0xE0, 0, 64)});
    module.processReplacing(left, right, kBlock);
    module.suspend();
    module.resume();
    return out;
}

int compare(const std::string& ours, const std::string& reference)
{
    host::HostModule fast;
    host::HostModule old;
    if (!openInstance(fast, ours) || !openInstance(old, reference)) {
        return 2;
    }
    int worse = 0;
    double slowest = 0.0;
    int heaviest = 0;
    std::printf("%-4s %-26s %12s %10s %10s\n", "prog", "name", "difference", "ms ours", "ms ref");
    for (int p = 0; p < kPrograms; ++p) {
        fast.setProgram(p);
        const std::string name = fast.getProgramName();
        // Alternating which module goes first keeps cache effects out of the times.
        Render a, b;
        if (p % 2 == 0) {
            a = playPhrase(fast, p);
            b = playPhrase(old, p);
        } else {
            b = playPhrase(old, p);
            a = playPhrase(fast, p);
        }
        double signal = 0.0;
        double error = 0.0;
        bool identical = a.samples.size() == b.samples.size();
        for (std::size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i) {
            const double d = static_cast<double>(a.samples[i]) - static_cast<double>(b.samples[i]);
            signal += static_cast<double>(b.samples[i]) * b.samples[i];
            error += d * d;
            identical = identical && std::memcmp(&a.samples[i], &b.samples[i], sizeof(float)) == 0;
        }
        char difference[32];
        if (identical) {
            std::snprintf(difference, sizeof difference, "identical");
        } else {
            const double db = 10.0 * std::log10(std::max(error, 1e-300) / std::max(signal, 1e-300));
            std::snprintf(difference, sizeof difference, "%.1f dB", db);
            worse += db > -100.0 ? 1 : 0;
        }
        std::printf("%-4d %-26s %12s %10.1f %10.1f\n", p, name.c_str(), difference, a.milliseconds, b.milliseconds);
        if (a.milliseconds > slowest) {
            slowest = a.milliseconds;
            heaviest = p;
        }
    }
    std::printf("heaviest program: %d; programs above -100 dB: %d\n", heaviest, worse);
    return worse == 0 ? 0 : 1;
}

int instances(int count, const std::string& path)
{
    std::vector<std::unique_ptr<host::HostModule>> open;
    const double base = residentMegabytes();
    double previous = base;
    double first = 0.0;
    double later = 0.0;
    double laterProcessor = 0.0;
    std::printf("%-9s %10s %10s %12s %12s\n", "instance", "ms", "cpu ms", "MB added", "MB total");
    for (int i = 0; i < count; ++i) {
        auto module = std::make_unique<host::HostModule>();
        const auto start = Clock::now();
        const double processorStart = processorMilliseconds();
        if (!openInstance(*module, path)) {
            return 2;
        }
        const double ms = millisecondsSince(start);
        const double processor = processorMilliseconds() - processorStart;
        const double now = residentMegabytes();
        std::printf("%-9d %10.2f %10.2f %12.2f %12.2f\n", i + 1, ms, processor, now - previous, now - base);
        (i == 0 ? first : later) += i == 0 ? now - base : ms;
        laterProcessor += i == 0 ? 0.0 : processor;
        previous = now;
        open.push_back(std::move(module));
    }
    if (count > 1) {
        std::printf("first instance %.2f MB; each later one %.2f MB and %.2f ms (%.2f ms of processor time) on average\n",
                    first, (previous - base - first) / (count - 1), later / (count - 1), laterProcessor / (count - 1));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!bench::isolateConfiguration()) {
        std::fprintf(stderr, "no private install folder could be made in /tmp\n");
        return 2;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "compare" && argc == 3) {
        return compare(PELKO_MODULE_PATH, argv[2]);
    }
    if (command == "instances" && (argc == 3 || argc == 4)) {
        return instances(std::max(std::atoi(argv[2]), 1), argc == 4 ? argv[3] : PELKO_MODULE_PATH);
    }
    std::fprintf(stderr, "usage: pelko-measure compare REFERENCE.so | instances N [MODULE.so]\n");
    return 2;
}
