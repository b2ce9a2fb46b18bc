// The two sides of a plug-in format adapter. A format (VST 2 today; LV2 or a standalone
// application later) owns one PluginInterface, drives it from its host's calls, and gives it the
// HostServices through which it speaks to the host. Neither side names a format's types.
#pragma once

#include "engine/event_cursor.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

// What the plug-in asks of its host. Calls may come from any thread the plug-in is called on;
// sendMidi and tempo come from the audio thread and must not allocate.
class HostServices {
public:
    virtual ~HostServices() = default;
    // The user moved a parameter: the host records it as automation.
    virtual void automate(int parameter, float value) = 0;
    // A user gesture on a parameter starts or ends (the host groups its automation).
    virtual void beginEdit(int parameter) = 0;
    virtual void endEdit(int parameter) = 0;
    // Program names or parameter values changed: the host refreshes what it shows.
    virtual void updateDisplay() = 0;
    // The host's tempo in beats per minute, when it reports one.
    virtual std::optional<double> tempo() = 0;
    // One MIDI message at a sample offset of the block being rendered.
    virtual void sendMidi(int frame, const std::uint8_t (&bytes)[3]) = 0;
    // Processing resumes: the host is asked to deliver MIDI.
    virtual void wantMidi() = 0;
};

// What every format adapter drives. Unless a method says otherwise it is called from the host's
// user-interface threads; process and receiveEvents come from its audio thread.
class PluginInterface {
public:
    virtual ~PluginInterface() = default;

    // Called first on every call that does not come from the audio thread: shows messages raised
    // on the audio thread and finishes work deferred there.
    virtual void userInterfaceCall() = 0;

    // ---- programs -------------------------------------------------------------------------------
    virtual int currentProgram() const = 0;
    virtual void selectProgram(int index) = 0;  // 0–63; anything else is ignored
    virtual std::string programName() const = 0;
    virtual void setProgramName(std::string_view name) = 0;  // cut to 24 characters
    // The name of bank slot `index`, none outside 0–63.
    virtual std::optional<std::string> programNameAt(int index) const = 0;
    // Copies the edited program into bank slot `index`; false outside 0–63.
    virtual bool copyEditBufferTo(int index) = 0;

    // ---- parameters (any thread) ----------------------------------------------------------------
    virtual void setParameter(int index, float value) = 0;
    virtual float getParameter(int index) const = 0;
    // The value text of a parameter (at most 31 characters); false outside 0–207.
    virtual bool parameterDisplay(int index, std::string& text) const = 0;

    // ---- state ----------------------------------------------------------------------------------
    // The edited program (programOnly) or the whole bank as opaque bytes; empty on failure.
    virtual std::vector<std::uint8_t> saveChunk(bool programOnly) = 0;
    // False (and nothing changed) when the bytes are not a valid chunk.
    virtual bool loadChunk(bool programOnly, const void* data, std::size_t size) = 0;

    // ---- processing -----------------------------------------------------------------------------
    virtual void setSampleRate(float rate) = 0;
    virtual void setBlockSize(int frames) = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    // [audio] The events of the next process call (the list stays valid until it ends).
    virtual void receiveEvents(const MidiEventList& events) = 0;
    // [audio] Renders frames samples into left and right; accumulate adds to what they hold.
    virtual void process(float* left, float* right, int frames, bool accumulate) = 0;
};

}  // namespace pelko
