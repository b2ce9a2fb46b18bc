// A small VST 2 host: loads a module with dlopen, calls its entry point with its own callback and
// offers one typed call per dispatcher opcode. What the module sends back to the host (automation,
// display updates, edit gestures, MIDI) is recorded for inspection.
#pragma once

#include "plugin/vst2_abi.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace host {

struct AutomateCall {
    int index;
    float value;
};

struct SentMidi {
    int deltaFrames;
    std::uint8_t status, data1, data2;
};

// What the host answers and what it has seen. Shared by every instance the harness opens.
struct HostState {
    vst2::VstIntPtr version = 2400;
    vst2::VstTimeInfo timeInfo{};
    bool provideTimeInfo = true;
    double sampleRate = 44100.0;
    int blockSize = 1024;

    std::vector<AutomateCall> automations;
    std::vector<int> beginEdits, endEdits;
    std::vector<SentMidi> midiOut;
    int updateDisplayCount = 0;
    int wantMidiCount = 0;
    int versionQueries = 0;
    int timeQueries = 0;
};

class HostModule {
public:
    HostModule() = default;
    ~HostModule();
    HostModule(const HostModule&) = delete;
    HostModule& operator=(const HostModule&) = delete;

    // Loads the shared object; false with a reason in error() when it cannot be loaded or has no
    // entry symbol.
    bool load(const std::string& path);
    // Calls the entry point; returns the descriptor or nullptr.
    vst2::AEffect* instantiate();
    // effClose (the module deletes itself) for the current instance.
    void closeInstance();
    void unload();

    const std::string& error() const { return error_; }
    // Whether the last string query wrote past the buffer size it was given (guard bytes changed)
    // or left the buffer without a terminator.
    bool lastStringOverrun() const { return lastStringOverrun_; }
    vst2::AEffect* effect() const { return effect_; }
    HostState& state() { return state_; }
    std::mutex& stateMutex() { return stateMutex_; }
    bool hasSymbol(const char* name) const;

    // Dispatcher, raw.
    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                             void* ptr = nullptr, float opt = 0.0f);

    // Typed calls, one per opcode.
    void open() { dispatch(vst2::effOpen); }
    void setProgram(int index) { dispatch(vst2::effSetProgram, 0, index); }
    int getProgram() { return static_cast<int>(dispatch(vst2::effGetProgram)); }
    void setProgramName(const std::string& name) { dispatch(vst2::effSetProgramName, 0, 0, const_cast<char*>(name.c_str())); }
    std::string getProgramName();
    std::string paramLabel(int index, std::size_t bufferSize = 64);
    std::string paramDisplay(int index, std::size_t bufferSize = 64);
    std::string paramName(int index, std::size_t bufferSize = 64);
    void setSampleRate(float rate) { dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate); }
    void setBlockSize(int frames) { dispatch(vst2::effSetBlockSize, 0, frames); }
    void resume() { dispatch(vst2::effMainsChanged, 0, 1); }
    void suspend() { dispatch(vst2::effMainsChanged, 0, 0); }
    std::optional<vst2::ERect> editGetRect();
    bool editOpen(void* parent, vst2::VstIntPtr display = 0) { return dispatch(vst2::effEditOpen, 0, display, parent) != 0; }
    void editClose() { dispatch(vst2::effEditClose); }
    void editIdle() { dispatch(vst2::effEditIdle); }
    vst2::VstIntPtr identify() { return dispatch(vst2::effIdentify); }
    // Copies the chunk out of the module's buffer.
    std::vector<std::uint8_t> getChunk(bool program);
    bool setChunk(bool program, const std::vector<std::uint8_t>& data);
    vst2::VstIntPtr processEvents(const vst2::VstEvents* events) { return dispatch(vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(events)); }
    // Hands the events to the module; like a host, the harness keeps them valid until the next
    // process call has returned.
    vst2::VstIntPtr sendMidi(const std::vector<vst2::VstMidiEvent>& events);
    vst2::VstIntPtr canBeAutomated(int index) { return dispatch(vst2::effCanBeAutomated, index); }
    vst2::VstIntPtr string2Parameter(int index, const std::string& text) { return dispatch(vst2::effString2Parameter, index, 0, const_cast<char*>(text.c_str())); }
    std::optional<std::string> programNameIndexed(int index, std::size_t bufferSize = 64);
    bool copyProgram(int destination) { return dispatch(vst2::effCopyProgram, destination) != 0; }
    std::optional<vst2::VstPinProperties> inputProperties(int index);
    std::optional<vst2::VstPinProperties> outputProperties(int index);
    vst2::VstIntPtr plugCategory() { return dispatch(vst2::effGetPlugCategory); }
    std::string effectName();
    std::string vendorString();
    std::string productString();
    vst2::VstIntPtr vendorVersion() { return dispatch(vst2::effGetVendorVersion); }
    vst2::VstIntPtr vendorSpecific(int index, vst2::VstIntPtr value, void* ptr, float opt) { return dispatch(vst2::effVendorSpecific, index, value, ptr, opt); }
    vst2::VstIntPtr canDo(const std::string& what) { return dispatch(vst2::effCanDo, 0, 0, const_cast<char*>(what.c_str())); }
    vst2::VstIntPtr tailSize() { return dispatch(vst2::effGetTailSize); }
    vst2::VstIntPtr parameterProperties(int index, void* ptr) { return dispatch(vst2::effGetParameterProperties, index, 0, ptr); }
    vst2::VstIntPtr keysRequired() { return dispatch(vst2::effKeysRequired); }
    vst2::VstIntPtr vstVersion() { return dispatch(vst2::effGetVstVersion); }
    vst2::VstIntPtr editKeyDown(int character, int virtualKey, float modifiers) { return dispatch(vst2::effEditKeyDown, character, virtualKey, nullptr, modifiers); }
    vst2::VstIntPtr editKeyUp(int character, int virtualKey, float modifiers) { return dispatch(vst2::effEditKeyUp, character, virtualKey, nullptr, modifiers); }
    vst2::VstIntPtr setEditKnobMode(int mode) { return dispatch(vst2::effSetEditKnobMode, 0, mode); }
    void startProcess() { dispatch(vst2::effStartProcess); }
    void stopProcess() { dispatch(vst2::effStopProcess); }

    void setParameter(int index, float value);
    float getParameter(int index);

    // Renders frames into left/right (replacing); the buffers are resized to frames.
    void processReplacing(std::vector<float>& left, std::vector<float>& right, int frames);
    // Accumulating variant: adds into the given buffers.
    void processAccumulating(std::vector<float>& left, std::vector<float>& right, int frames);

    // Called by the C callback.
    vst2::VstIntPtr onCallback(vst2::AEffect* effect, vst2::VstInt32 opcode, vst2::VstInt32 index,
                               vst2::VstIntPtr value, void* ptr, float opt);

private:
    void* library_ = nullptr;
    vst2::AEffect* (*entry_)(vst2::HostCallback) = nullptr;
    vst2::AEffect* effect_ = nullptr;
    std::string error_;
    HostState state_;
    std::mutex stateMutex_;
    vst2::VstTimeInfo timeReply_{};
    bool lastStringOverrun_ = false;
    std::unique_ptr<class MidiEventBlock> pendingMidi_;
    std::unique_ptr<class MidiEventBlock> processedMidi_;
    std::string queryString(vst2::VstInt32 opcode, int index, std::size_t bufferSize, vst2::VstIntPtr* result = nullptr);
};

// A VstEvents block holding MIDI events, laid out as hosts do.
class MidiEventBlock {
public:
    explicit MidiEventBlock(const std::vector<vst2::VstMidiEvent>& events);
    const vst2::VstEvents* events() const { return reinterpret_cast<const vst2::VstEvents*>(storage_.data()); }

private:
    std::vector<vst2::VstMidiEvent> midi_;
    std::vector<std::uint64_t> storage_;
};

vst2::VstMidiEvent midiEvent(int deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

}  // namespace host
