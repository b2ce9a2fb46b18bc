// What the parameter table's set functions need from the plug-in: where mapped quantities go,
// the values they depend on (sample rate, tempo, master gain, routing switches) and the engine
// parts a change must reach.
#pragma once

#include "params/engine_settings.h"
#include "params/patch_object_table.h"

namespace pelko {

class UserControlsAssignment;

// The three routing-switch objects, by patch-object index.
enum RoutingSwitch {
    kFmSwitches = object::kDisabledFm,          // 48 cells, cell = 6·source + destination
    kOscOutSwitches = object::kDisabledOscOut,  // 18 cells: six filter-1 sends, six filter-2 sends,
                                                // six direct gains
    kBusOutSwitches = object::kDisabledFltOut,  // 6 cells: buses A and B to filter 1, to filter 2, direct
};

class ParameterHost {
public:
    virtual ~ParameterHost() = default;

    virtual EngineSettings& engineSettings() = 0;
    virtual float sampleRate() const = 0;
    virtual float tempo() const = 0;  // beats per minute, always positive
    virtual float masterGain() const = 0;
    // The edit buffer's stored value of a parameter.
    virtual float storedValue(int index) const = 0;
    virtual bool routingCellOn(RoutingSwitch object, int cell) const = 0;
    virtual const UserControlsAssignment& userAssignments() const = 0;
    // The full parameter set (maps, stores, tells the editor); user sliders call it.
    virtual void setParameter(int index, float value) = 0;

    // Engine parts a change must reach.
    virtual void polyphonyChanged(int voices) = 0;
    virtual void pitchBendRangeChanged(int semitones) = 0;
    virtual void glideSwitched() = 0;  // forgets the last played note
    virtual void effectParameterChanged(int slot, int parameter, float value) = 0;
    virtual void effectDryWetChanged(int slot, float value) = 0;
    virtual void effectSyncChanged(int slot, bool on) = 0;
    virtual void effectRoutingChanged(bool serial) = 0;
    // Display text of an effect parameter (rows 167–178), written into out (32 bytes).
    virtual void effectParameterDisplay(int slot, int parameter, float value, char* out) const = 0;
};

}  // namespace pelko
