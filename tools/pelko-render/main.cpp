// pelko-render: the command line around one render, with a progress bar on a terminal and a
// summary of what was written.
#include "render_session.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <memory>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::atomic<bool> interrupted{false};

void onInterrupt(int) { interrupted.store(true); }

// A bar on stderr, redrawn only when the shown percentage changes.
class ProgressBar : public render::RenderProgress {
public:
    explicit ProgressBar(std::uint32_t rate) : rate_(rate) {}
    ~ProgressBar() override
    {
        if (shown_ >= 0) {
            std::fputs("\n", stderr);
        }
    }

    void update(std::uint64_t done, std::uint64_t total) override
    {
        int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (percent == shown_) {
            return;
        }
        shown_ = percent;
        constexpr int kWidth = 40;
        std::string bar(static_cast<std::size_t>(percent * kWidth / 100), '#');
        bar.resize(kWidth, '.');
        std::fprintf(stderr, "\r[%s] %3d%%  %.1f / %.1f s", bar.c_str(), percent,
                     static_cast<double>(done) / rate_, static_cast<double>(total) / rate_);
        std::fflush(stderr);
    }

private:
    std::uint32_t rate_;
    int shown_ = -1;
};

std::string executablePath(const char* argv0)
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        return std::string(buffer, static_cast<std::size_t>(length));
    }
    return argv0 != nullptr ? argv0 : "";
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    render::CommandLine command = render::parseCommandLine(arguments);
    if (command.outcome == render::CommandLine::Outcome::Help) {
        std::fputs(render::usageText().c_str(), stdout);
        return render::kExitSuccess;
    }
    if (command.outcome == render::CommandLine::Outcome::UsageError) {
        std::fprintf(stderr, "pelko-render: %s\nTry 'pelko-render --help'.\n", command.error.c_str());
        return render::kExitUsage;
    }
    const render::RenderOptions& options = command.options;

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    render::RenderResult result;
    {
        std::unique_ptr<ProgressBar> bar;
        if (!options.quiet && ::isatty(STDERR_FILENO)) {
            bar = std::make_unique<ProgressBar>(options.sampleRate);
        }
        result = render::renderToFile(options, executablePath(argv[0]), bar.get(), &interrupted);
    }
    const render::RenderSummary& s = result.summary;
    for (const std::string& note : s.notes) {
        std::fprintf(stderr, "pelko-render: warning: %s\n", note.c_str());
    }
    if (result.exitCode != render::kExitSuccess && s.output.empty()) {
        std::fprintf(stderr, "pelko-render: %s\n", result.error.c_str());
        return result.exitCode;
    }
    if (!options.quiet) {
        std::printf("Wrote %s: %.2f s, %llu frames at %u Hz, 2 channels\n", s.output.c_str(),
                    static_cast<double>(s.frames) / s.sampleRate, static_cast<unsigned long long>(s.frames),
                    s.sampleRate);
        std::printf("Instrument %s (%s)\n", s.instrument.c_str(), s.modulePath.c_str());
        const char* names[2] = {"left ", "right"};
        for (std::size_t c = 0; c < 2; ++c) {
            std::printf("  %s  peak %6s dBFS   RMS %6s dBFS\n", names[c], render::decibelText(s.peak[c]).c_str(),
                        render::decibelText(s.rms[c]).c_str());
        }
    }
    if (s.nonFiniteSamples > 0) {
        std::fprintf(stderr, "pelko-render: warning: the module produced %llu samples that were not numbers; "
                             "they were written as silence\n",
                     static_cast<unsigned long long>(s.nonFiniteSamples));
    }
    if (result.exitCode != render::kExitSuccess) {
        std::fprintf(stderr, "pelko-render: %s\n", result.error.c_str());
    }
    return result.exitCode;
}
