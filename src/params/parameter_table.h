// The 208 automatable parameters. Each row names the parameter (for the user, the host, text
// programs and skins), gives its unit label, default, range and step, and the two functions that
// map its 0–1 value into the engine and format it for display.
#pragma once

#include "params/parameter_host.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pelko {

constexpr int kParameters = 208;
constexpr int kDisplayTextSize = 32;

// Maps v into the engine through the host and returns the value to store.
using SetFunction = float (*)(ParameterHost& host, int instance, float value);
// Writes the display text of a stored value (at most kDisplayTextSize bytes with terminator).
using DisplayFunction = void (*)(const ParameterHost* host, int instance, float value, char* out);

struct ParameterInfo {
    // MIDI controller driving this parameter by default; 255 = none. The live assignments are
    // the controller map's (audio/controller_map.h).
    std::uint8_t ccOfParameter = 255;
    char displayName[24] = {};
    char group[16] = {};
    char identifier[24] = {};
    const char* label = " ";
    SetFunction set = nullptr;
    DisplayFunction display = nullptr;
    int instance = 0;
    float defaultValue = 0.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float step = 0.01f;
};

// The process-wide table, built on first use and never changed.
const std::array<ParameterInfo, kParameters>& parameterTable();

// Exact, case-sensitive match on the identifier; -1 when there is none.
int parameterIndexOfIdentifier(std::string_view identifier);

// Applies the row's set function; returns the value to store. Indices outside 0–207: returns value.
float mapParameter(ParameterHost& host, int index, float value);
// The row's display text for a stored value; empty for indices outside 0–207.
void formatParameter(const ParameterHost* host, int index, float value, char* out);

}  // namespace pelko
