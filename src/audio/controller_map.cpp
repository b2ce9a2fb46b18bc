#include "audio/controller_map.h"

#include "config/registry_store.h"
#include "params/parameter_table.h"

#include <array>
#include <atomic>
#include <cstdio>

namespace pelko {
namespace {

// The live assignments, both directions. Every entry is an atomic byte, so the audio threads of
// all instances read without locking; writers (a MIDI learn on some instance's audio thread, the
// load at the first construction, an assignment from the editor) are serialised by a spin flag
// held only for the few hundred stores one assignment makes, and never across anything else.
class ControllerTable {
public:
    ControllerTable()
    {
        const auto& table = parameterTable();
        for (auto& entry : parameterOfCc_) {
            entry.store(kNoController, std::memory_order_relaxed);
        }
        for (int p = 0; p < kParameters; ++p) {
            const std::uint8_t cc = table[static_cast<std::size_t>(p)].ccOfParameter;
            ccOfParameter_[static_cast<std::size_t>(p)].store(cc, std::memory_order_relaxed);
            if (cc < 128) {
                parameterOfCc_[cc].store(static_cast<std::uint8_t>(p), std::memory_order_relaxed);
            }
        }
    }

    std::uint8_t parameterOf(int controller) const
    {
        return parameterOfCc_[static_cast<std::size_t>(controller)].load(std::memory_order_acquire);
    }
    std::uint8_t controllerOf(int parameter) const
    {
        return ccOfParameter_[static_cast<std::size_t>(parameter)].load(std::memory_order_acquire);
    }

    // Runs fn(table) as the only writer.
    template <class Fn>
    void write(Fn&& fn)
    {
        while (writing_.test_and_set(std::memory_order_acquire)) {
            // Another thread is storing one assignment: a few hundred stores at most.
        }
        fn(*this);
        writing_.clear(std::memory_order_release);
    }

    void setController(int parameter, std::uint8_t cc)
    {
        ccOfParameter_[static_cast<std::size_t>(parameter)].store(cc, std::memory_order_release);
    }
    void setParameter(int controller, std::uint8_t parameter)
    {
        parameterOfCc_[static_cast<std::size_t>(controller)].store(parameter, std::memory_order_release);
    }
    // The inverse map from the controller of every parameter (later parameters win).
    void rebuildInverse()
    {
        for (int cc = 0; cc < 128; ++cc) {
            setParameter(cc, kNoController);
        }
        for (int p = 0; p < kParameters; ++p) {
            const std::uint8_t cc = controllerOf(p);
            if (cc < 128) {
                setParameter(cc, static_cast<std::uint8_t>(p));
            }
        }
    }

private:
    std::array<std::atomic<std::uint8_t>, kParameters> ccOfParameter_;
    std::array<std::atomic<std::uint8_t>, 128> parameterOfCc_;
    std::atomic_flag writing_ = ATOMIC_FLAG_INIT;
};

static_assert(std::atomic<std::uint8_t>::is_always_lock_free, "readers must never wait");

ControllerTable& controllers()
{
    static ControllerTable table;
    return table;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::uint8_t parameterOfController(int controller)
{
    return controller >= 0 && controller < 128 ? controllers().parameterOf(controller) : kNoController;
}

std::uint8_t controllerOfParameter(int parameter)
{
    return parameter >= 0 && parameter < kParameters ? controllers().controllerOf(parameter) : kNoController;
}

void assignController(int parameter, int controller)
{
    if (parameter < 0 || parameter >= kParameters) {
        return;
    }
    controllers().write([&](ControllerTable& table) {
        const std::uint8_t old = table.controllerOf(parameter);
        if (controller < 0 || controller >= 128) {
            if (old < 128 && table.parameterOf(old) == parameter) {
                table.setParameter(old, kNoController);
            }
            table.setController(parameter, kNoController);
            return;
        }
        for (int p = 0; p < kParameters; ++p) {
            if (table.controllerOf(p) == controller) {
                table.setController(p, kNoController);
            }
        }
        if (old < 128) {
            table.setParameter(old, kNoController);
        }
        table.setController(parameter, static_cast<std::uint8_t>(controller));
        table.setParameter(controller, static_cast<std::uint8_t>(parameter));
    });
}

std::string controllerAssignmentText(int parameter)
{
    std::uint8_t cc = controllerOfParameter(parameter);
    if (cc == kNoController) {
        return "---";
    }
    char text[8];
    std::snprintf(text, sizeof text, "%02d", cc);
    return text;
}

void loadControllerAssignments(const RegistryStore& settings)
{
    std::optional<std::string> text = settings.readText(registry::kMidiConfig);
    controllers().write([&](ControllerTable& table) {
        if (text) {
            for (int p = 0; p < kParameters; ++p) {
                std::size_t at = static_cast<std::size_t>(2 * p);
                int high = at + 1 < text->size() ? hexDigit((*text)[at]) : -1;
                int low = at + 1 < text->size() ? hexDigit((*text)[at + 1]) : -1;
                if (high < 0 || low < 0) {
                    // A stored list cut short or damaged: the rest has no controller.
                    table.setController(p, kNoController);
                    continue;
                }
                int cc = high * 16 + low;
                table.setController(p, cc < 128 ? static_cast<std::uint8_t>(cc) : kNoController);
            }
        }
        table.rebuildInverse();
    });
}

std::string controllerAssignmentsText()
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int p = 0; p < kParameters; ++p) {
        std::uint8_t cc = controllerOfParameter(p);
        text += digits[cc >> 4];
        text += digits[cc & 15];
    }
    return text;
}

void saveControllerAssignments(RegistryStore& settings)
{
    settings.writeText(registry::kMidiConfig, controllerAssignmentsText());
}


}  // namespace pelko
