#include "audio/controller_map.h"

#include "config/registry_store.h"
#include "params/parameter_table.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace pelko {
namespace {

std::array<std::uint8_t, 128>& inverseMap()
{
    static std::array<std::uint8_t, 128> map = [] {
        std::array<std::uint8_t, 128> m;
        m.fill(kNoController);
        const auto& table = parameterTable();
        for (int p = 0; p < kParameters; ++p) {
            std::uint8_t cc = table[static_cast<std::size_t>(p)].ccOfParameter;
            if (cc < 128) {
                m[cc] = static_cast<std::uint8_t>(p);
            }
        }
        return m;
    }();
    return map;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void rebuildInverse()
{
    auto& map = inverseMap();
    map.fill(kNoController);
    const auto& table = parameterTable();
    for (int p = 0; p < kParameters; ++p) {
        std::uint8_t cc = table[static_cast<std::size_t>(p)].ccOfParameter;
        if (cc < 128) {
            map[cc] = static_cast<std::uint8_t>(p);  // later parameters win
        }
    }
}

}  // namespace

std::uint8_t parameterOfController(int controller)
{
    return controller >= 0 && controller < 128 ? inverseMap()[static_cast<std::size_t>(controller)] : kNoController;
}

std::uint8_t controllerOfParameter(int parameter)
{
    return parameter >= 0 && parameter < kParameters ? parameterTable()[static_cast<std::size_t>(parameter)].ccOfParameter
                                                     : kNoController;
}

void assignController(int parameter, int controller)
{
    if (parameter < 0 || parameter >= kParameters) {
        return;
    }
    auto& map = inverseMap();
    if (controller < 0 || controller >= 128) {
        std::uint8_t old = controllerOfParameter(parameter);
        if (old < 128 && map[old] == parameter) {
            map[old] = kNoController;
        }
        setControllerOfParameter(parameter, kNoController);
        return;
    }
    for (int p = 0; p < kParameters; ++p) {
        if (controllerOfParameter(p) == controller) {
            setControllerOfParameter(p, kNoController);
        }
    }
    std::uint8_t old = controllerOfParameter(parameter);
    if (old < 128) {
        map[old] = kNoController;
    }
    setControllerOfParameter(parameter, static_cast<std::uint8_t>(controller));
    map[static_cast<std::size_t>(controller)] = static_cast<std::uint8_t>(parameter);
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
    if (text) {
        for (int p = 0; p < kParameters; ++p) {
            std::size_t at = static_cast<std::size_t>(2 * p);
            int high = at + 1 < text->size() ? hexDigit((*text)[at]) : -1;
            int low = at + 1 < text->size() ? hexDigit((*text)[at + 1]) : -1;
            if (high < 0 || low < 0) {
                // A stored list cut short or damaged: the rest has no controller.
                setControllerOfParameter(p, kNoController);
                continue;
            }
            int cc = high * 16 + low;
            setControllerOfParameter(p, cc < 128 ? static_cast<std::uint8_t>(cc) : kNoController);
        }
    }
    rebuildInverse();
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

float panLaw(int position)
{
    static const std::array<float, 128> table = [] {
        std::array<float, 128> t{};
        for (int i = 0; i < 128; ++i) {
            t[static_cast<std::size_t>(i)] = 0.5f + 0.5f * std::cos(3.14159265358979f * static_cast<float>(i) / 127.0f);
        }
        return t;
    }();
    return table[static_cast<std::size_t>(position < 0 ? 0 : (position > 127 ? 127 : position))];
}

}  // namespace pelko
