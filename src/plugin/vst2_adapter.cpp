#include "plugin/vst2_adapter.h"

#include "params/parameter_table.h"
#include "platform/debug_output.h"
#include "platform/threads.h"
#include "plugin/synth_plugin.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pelko {
namespace {

// What hosts are promised for each string opcode (terminator included).
constexpr std::size_t kParamLabelCapacity = 9;
constexpr std::size_t kParamDisplayCapacity = 9;
constexpr std::size_t kParamNameCapacity = 25;
constexpr std::size_t kProgramNameCapacity = 25;
constexpr std::size_t kEffectNameCapacity = 33;
constexpr std::size_t kVendorCapacity = 65;

// Copies text into a host buffer of `capacity` bytes (terminator included).
void copyOut(void* ptr, std::size_t capacity, std::string_view text)
{
    if (ptr == nullptr || capacity == 0) {
        return;
    }
    std::size_t n = std::min(text.size(), capacity - 1);
    if (n > 0) {
        std::memcpy(ptr, text.data(), n);
    }
    static_cast<char*>(ptr)[n] = '\0';
}

bool readVstEvent(const void* list, int index, TimedMidi& out) noexcept
{
    const vst2::VstEvent* event = static_cast<const vst2::VstEvents*>(list)->events[index];
    if (event == nullptr) {
        return false;
    }
    out.frame = event->deltaFrames;
    if (event->type != vst2::kVstMidiType) {
        return false;
    }
    const char* data = reinterpret_cast<const vst2::VstMidiEvent*>(event)->midiData;
    for (int i = 0; i < 3; ++i) {
        out.bytes[i] = static_cast<std::uint8_t>(data[i]);
    }
    return true;
}

// ---- the descriptor's C functions: no exception ever crosses into the host ----------------------

vst2::VstIntPtr dispatcherProc(vst2::AEffect* effect, vst2::VstInt32 opcode, vst2::VstInt32 index,
                               vst2::VstIntPtr value, void* ptr, float opt)
{
    Vst2Adapter* adapter = Vst2Adapter::fromEffect(effect);
    if (adapter == nullptr) {
        return 0;
    }
    if (opcode == vst2::effClose) {
        // The host frees the plug-in here: the object deletes itself.
        delete adapter;
        return 0;
    }
    try {
        return adapter->dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void processReplacingProc(vst2::AEffect* effect, float** /*inputs*/, float** outputs, vst2::VstInt32 frames)
{
    if (Vst2Adapter* adapter = Vst2Adapter::fromEffect(effect)) {
        adapter->plugin()->processReplacing(outputs, frames);
    }
}

void processAccumulatingProc(vst2::AEffect* effect, float** /*inputs*/, float** outputs, vst2::VstInt32 frames)
{
    if (Vst2Adapter* adapter = Vst2Adapter::fromEffect(effect)) {
        adapter->plugin()->processAccumulating(outputs, frames);
    }
}

void setParameterProc(vst2::AEffect* effect, vst2::VstInt32 index, float value)
{
    if (Vst2Adapter* adapter = Vst2Adapter::fromEffect(effect)) {
        adapter->plugin()->setParameter(index, value);
    }
}

float getParameterProc(vst2::AEffect* effect, vst2::VstInt32 index)
{
    Vst2Adapter* adapter = Vst2Adapter::fromEffect(effect);
    return adapter != nullptr ? adapter->plugin()->getParameter(index) : 0.0f;
}

}  // namespace

SynthPlugin* SynthPlugin::fromEffect(vst2::AEffect* effect)
{
    Vst2Adapter* adapter = Vst2Adapter::fromEffect(effect);
    return adapter != nullptr ? adapter->plugin() : nullptr;
}

Vst2Adapter* Vst2Adapter::fromEffect(vst2::AEffect* effect)
{
    return effect != nullptr ? static_cast<Vst2Adapter*>(effect->object) : nullptr;
}

Vst2Adapter::Vst2Adapter(vst2::HostCallback host) : host_(host)
{
    // 64 programs and 208 parameters, no inputs, two outputs.
    effect_.magic = vst2::kEffectMagic;
    effect_.numPrograms = kProgramCount;
    effect_.numParams = kParameterCount;
    effect_.numInputs = 0;
    effect_.numOutputs = 2;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.version = 1;
    effect_.dispatcher = &dispatcherProc;
    effect_.process = &processAccumulatingProc;
    effect_.processReplacing = &processReplacingProc;
    effect_.processDoubleReplacing = nullptr;
    effect_.setParameter = &setParameterProc;
    effect_.getParameter = &getParameterProc;
    if (host_ != nullptr) {
        effect_.flags = vst2::effFlagsCanReplacing | vst2::effFlagsProgramChunks | vst2::effFlagsIsSynth;
        effect_.uniqueID = kUniqueId;
    }
    plugin_ = std::make_unique<SynthPlugin>(host_ != nullptr ? static_cast<HostServices*>(this) : nullptr);
    if (PluginEditorFactory factory = pluginEditorFactory(); factory != nullptr && plugin_->initOk()) {
        editor_ = factory(*plugin_);
        if (editor_) {
            effect_.flags |= vst2::effFlagsHasEditor;
        }
    }
}

Vst2Adapter::~Vst2Adapter()
{
    // The host may destroy the plug-in with its editor open: the editor closes first.
    editor_.reset();
}

bool Vst2Adapter::initOk() const { return plugin_ != nullptr && plugin_->initOk(); }

vst2::VstIntPtr Vst2Adapter::call(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                  float opt)
{
    // Until the host has the descriptor (it shows that by its first dispatcher call), nothing is
    // asked of it: a display refresh waits for that call, anything else is dropped.
    if (host_ == nullptr) {
        return 0;
    }
    if (!opened_.load()) {
        if (opcode == vst2::audioMasterUpdateDisplay) {
            displayPending_.store(true);
        }
        return 0;
    }
    return host_(&effect_, opcode, index, value, ptr, opt);
}

vst2::VstIntPtr Vst2Adapter::dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                      float opt)
{
    SynthPlugin& plugin = *plugin_;
    if (!opened_.exchange(true) && displayPending_.exchange(false)) {
        call(vst2::audioMasterUpdateDisplay);
    }
    // Ardour sends chunk and program calls from its own GUI thread, so every call that is not the
    // audio thread's counts as a user-interface call.
    if (!onAudioThread()) {
        plugin.userInterfaceCall();
    }
    switch (opcode) {
    case vst2::effOpen:
    case vst2::effClose:
        return 0;
    case vst2::effSetProgram:
        plugin.selectProgram(value >= 0 && value < kProgramCount ? static_cast<int>(value) : -1);
        return 0;
    case vst2::effGetProgram:
        return plugin.currentProgram();
    case vst2::effSetProgramName:
        if (ptr != nullptr) {
            // The host's text need not be terminated within the 24 characters a name holds.
            const char* text = static_cast<const char*>(ptr);
            plugin.setProgramName(std::string_view(text, strnlen(text, kProgramNameLength)));
        }
        return 0;
    case vst2::effGetProgramName:
        copyOut(ptr, kProgramNameCapacity, plugin.programName());
        return 0;
    case vst2::effGetParamLabel:
        if (index >= 0 && index < kParameterCount) {
            copyOut(ptr, kParamLabelCapacity, parameterTable()[static_cast<std::size_t>(index)].label);
        }
        return 0;
    case vst2::effGetParamDisplay: {
        std::string text;
        if (!plugin.parameterDisplay(index, text)) {
            debugOutput("out of range parameter\n");
        }
        copyOut(ptr, kParamDisplayCapacity, text);
        return 0;
    }
    case vst2::effGetParamName:
        if (index >= 0 && index < kParameterCount) {
            copyOut(ptr, kParamNameCapacity, parameterTable()[static_cast<std::size_t>(index)].identifier);
        }
        return 0;
    case vst2::effSetSampleRate:
        plugin.setSampleRate(opt);
        return 0;
    case vst2::effSetBlockSize:
        plugin.setBlockSize(static_cast<int>(value));
        return 0;
    case vst2::effMainsChanged:
        if (value == 0) {
            plugin.suspend();
        } else {
            plugin.resume();
        }
        return 0;
    case vst2::effGetChunk:
        return getChunk(index != 0, static_cast<void**>(ptr));
    case vst2::effSetChunk:
        return ptr != nullptr && value > 0 && plugin.loadChunk(index != 0, ptr, static_cast<std::size_t>(value)) ? 1 : 0;
    case vst2::effProcessEvents: {
        const auto* events = static_cast<const vst2::VstEvents*>(ptr);
        // A negative count is taken as no events.
        plugin.receiveEvents(events != nullptr && events->numEvents > 0
                                 ? MidiEventList{events, events->numEvents, &readVstEvent}
                                 : MidiEventList{});
        return 1;
    }
    case vst2::effCanBeAutomated:
        return 1;
    case vst2::effIdentify:
        return vst2::fourCC('N', 'v', 'E', 'f');
    case vst2::effGetProgramNameIndexed: {
        const std::optional<std::string> name = plugin.programNameAt(index);
        if (!name) {
            return 0;
        }
        copyOut(ptr, kProgramNameCapacity, *name);
        return 1;
    }
    case vst2::effCopyProgram:
        return plugin.copyEditBufferTo(index) ? 1 : 0;
    case vst2::effGetOutputProperties: {
        if (index < 0 || index > 1 || ptr == nullptr) {
            return 0;
        }
        auto* pin = static_cast<vst2::VstPinProperties*>(ptr);
        std::snprintf(pin->label, sizeof pin->label, "PLKO%1d", index + 1);
        std::snprintf(pin->shortLabel, sizeof pin->shortLabel, "PLKO%1d", index + 1);
        pin->flags = vst2::kVstPinIsActive | vst2::kVstPinIsStereo;
        return 1;
    }
    case vst2::effGetPlugCategory:
        return vst2::kPlugCategSynth;
    case vst2::effGetEffectName:
        copyOut(ptr, kEffectNameCapacity, kProductString);
        return 1;
    case vst2::effGetProductString:
        copyOut(ptr, kVendorCapacity, kProductString);
        return 1;
    case vst2::effGetVendorString:
        copyOut(ptr, kVendorCapacity, kVendorString);
        return 1;
    case vst2::effGetVendorVersion:
        return effect_.version;
    case vst2::effEditGetRect:
    case vst2::effEditOpen:
    case vst2::effEditClose:
    case vst2::effEditIdle:
    case vst2::effEditKeyDown:
    case vst2::effEditKeyUp:
    case vst2::effSetEditKnobMode:
    case vst2::effVendorSpecific:
        return editorCall(opcode, index, value, ptr, opt);
    case vst2::effCanDo: {
        if (ptr == nullptr) {
            return -1;
        }
        static const char* const yes[] = {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
                                          "sendVstMidiEvent", "receiveVstTimeInfo", "conformsToWindowRules"};
        const char* text = static_cast<const char*>(ptr);
        for (const char* what : yes) {
            if (std::strcmp(text, what) == 0) {
                return 1;
            }
        }
        return -1;
    }
    case vst2::effGetParameterProperties:
        return 0;
    case vst2::effKeysRequired:
        // Keyboard input is wanted whenever an editor exists.
        return editor_ ? 0 : 1;
    case vst2::effGetVstVersion:
        return 2300;
    default:
        return 0;
    }
}

vst2::VstIntPtr Vst2Adapter::editorCall(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value,
                                        void* ptr, float opt)
{
    if (!editor_) {
        return 0;
    }
    PluginEditor& editor = *editor_;
    switch (opcode) {
    case vst2::effEditGetRect: {
        if (ptr == nullptr) {
            return 0;
        }
        const EditorRectangle r = editor.rectangle();
        editorRect_.top = static_cast<std::int16_t>(r.top);
        editorRect_.left = static_cast<std::int16_t>(r.left);
        editorRect_.bottom = static_cast<std::int16_t>(r.bottom);
        editorRect_.right = static_cast<std::int16_t>(r.right);
        *static_cast<vst2::ERect**>(ptr) = &editorRect_;
        return 1;
    }
    case vst2::effEditOpen:
        // ptr is the parent X window; Ardour and Carla put their Display* in value, which is never
        // used: the editor opens an X connection of its own. A null parent gives a headless frame.
        return editor.open(reinterpret_cast<std::uintptr_t>(ptr)) ? 1 : 0;
    case vst2::effEditClose:
        editor.close();
        return 0;
    case vst2::effEditIdle:
        editor.idle();
        return 0;
    case vst2::effEditKeyDown:
        return editor.keyDown(index, static_cast<int>(value), static_cast<int>(opt)) ? 1 : 0;
    case vst2::effEditKeyUp:
        return editor.keyUp(index, static_cast<int>(value), static_cast<int>(opt)) ? 1 : 0;
    case vst2::effSetEditKnobMode:
        editor.setKnobMode(static_cast<int>(value));
        return 0;
    case vst2::effVendorSpecific:
        // The mouse-wheel message ('stCA', 'Whee') carries the distance in opt.
        if (index == vst2::fourCC('s', 't', 'C', 'A') && value == vst2::fourCC('W', 'h', 'e', 'e')) {
            return editor.wheel(opt) ? 1 : 0;
        }
        if (index == kRenderPageCall && ptr != nullptr) {
            return editor.renderPage(static_cast<int>(value), static_cast<const char*>(ptr)) ? 1 : 0;
        }
        if (index == kEditorScaleCall && value >= 0 && value <= 2) {
            editor.setScaleOverride(static_cast<int>(value));
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

vst2::VstIntPtr Vst2Adapter::getChunk(bool programOnly, void** data)
{
    if (data == nullptr) {
        return 0;
    }
    std::vector<std::uint8_t>& buffer = programOnly ? programChunk_ : bankChunk_;
    buffer = plugin_->saveChunk(programOnly);
    *data = buffer.empty() ? nullptr : buffer.data();
    return static_cast<vst2::VstIntPtr>(buffer.size());
}

// ---- HostServices ---------------------------------------------------------------------------------

void Vst2Adapter::automate(int parameter, float value) { call(vst2::audioMasterAutomate, parameter, 0, nullptr, value); }
void Vst2Adapter::beginEdit(int parameter) { call(vst2::audioMasterBeginEdit, parameter); }
void Vst2Adapter::endEdit(int parameter) { call(vst2::audioMasterEndEdit, parameter); }
void Vst2Adapter::updateDisplay() { call(vst2::audioMasterUpdateDisplay); }
void Vst2Adapter::wantMidi() { call(vst2::audioMasterWantMidi, 0, 1); }

std::optional<double> Vst2Adapter::tempo()
{
    const auto* info =
        reinterpret_cast<const vst2::VstTimeInfo*>(call(vst2::audioMasterGetTime, 0, vst2::kVstTempoValid));
    if (info == nullptr || (info->flags & vst2::kVstTempoValid) == 0) {
        return std::nullopt;
    }
    return info->tempo;
}

void Vst2Adapter::sendMidi(int frame, const std::uint8_t (&bytes)[3])
{
    vst2::VstMidiEvent event{};
    event.type = vst2::kVstMidiType;
    event.byteSize = 24;
    event.deltaFrames = frame;
    for (int i = 0; i < 3; ++i) {
        event.midiData[i] = static_cast<char>(bytes[i]);
    }
    struct {
        vst2::VstInt32 numEvents;
        vst2::VstIntPtr reserved;
        vst2::VstEvent* events[2];
    } block{1, 0, {reinterpret_cast<vst2::VstEvent*>(&event), nullptr}};
    call(vst2::audioMasterProcessEvents, 0, 0, &block);
}

}  // namespace pelko
