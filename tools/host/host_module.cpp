#include "host_module.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace host {
namespace {

// The callback has no user pointer, so instances are found by their descriptor. During the entry
// call the descriptor does not exist yet (effect == nullptr): the host being constructed answers.
std::mutex registryMutex;
std::map<vst2::AEffect*, HostModule*> hostOfEffect;
thread_local HostModule* constructingHost = nullptr;

vst2::VstIntPtr hostCallback(vst2::AEffect* effect, vst2::VstInt32 opcode, vst2::VstInt32 index,
                             vst2::VstIntPtr value, void* ptr, float opt)
{
    HostModule* target = nullptr;
    if (effect == nullptr) {
        target = constructingHost;
    } else {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto it = hostOfEffect.find(effect);
        target = it != hostOfEffect.end() ? it->second : constructingHost;
    }
    if (target == nullptr) {
        return opcode == vst2::audioMasterVersion ? 2400 : 0;
    }
    return target->onCallback(effect, opcode, index, value, ptr, opt);
}

constexpr unsigned char kGuard = 0xAB;
constexpr std::size_t kGuardBytes = 64;

}  // namespace

HostModule::~HostModule()
{
    closeInstance();
    unload();
}

bool HostModule::load(const std::string& path)
{
    unload();
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        const char* reason = dlerror();
        error_ = reason != nullptr ? reason : "cannot load " + path;
        return false;
    }
    void* symbol = dlsym(library_, "VSTPluginMain");
    if (symbol == nullptr) {
        symbol = dlsym(library_, "main");
    }
    if (symbol == nullptr) {
        error_ = path + ": no VSTPluginMain or main symbol";
        dlclose(library_);
        library_ = nullptr;
        return false;
    }
    entry_ = reinterpret_cast<vst2::AEffect* (*)(vst2::HostCallback)>(symbol);
    return true;
}

bool HostModule::hasSymbol(const char* name) const
{
    return library_ != nullptr && dlsym(library_, name) != nullptr;
}

vst2::AEffect* HostModule::instantiate()
{
    if (entry_ == nullptr) {
        error_ = "no module loaded";
        return nullptr;
    }
    closeInstance();
    constructingHost = this;
    vst2::AEffect* effect = entry_(&hostCallback);
    constructingHost = nullptr;
    if (effect == nullptr) {
        error_ = "the entry point returned no descriptor";
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        hostOfEffect[effect] = this;
    }
    effect_ = effect;
    return effect;
}

void HostModule::closeInstance()
{
    if (effect_ == nullptr) {
        return;
    }
    effect_->dispatcher(effect_, vst2::effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard<std::mutex> lock(registryMutex);
    hostOfEffect.erase(effect_);
    effect_ = nullptr;
}

void HostModule::unload()
{
    if (library_ != nullptr) {
        dlclose(library_);
        library_ = nullptr;
        entry_ = nullptr;
    }
}

vst2::VstIntPtr HostModule::dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value,
                                     void* ptr, float opt)
{
    if (effect_ == nullptr) {
        return 0;
    }
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostModule::queryString(vst2::VstInt32 opcode, int index, std::size_t bufferSize,
                                    vst2::VstIntPtr* result)
{
    std::vector<unsigned char> buffer(bufferSize + kGuardBytes, kGuard);
    vst2::VstIntPtr r = dispatch(opcode, index, 0, buffer.data());
    if (result != nullptr) {
        *result = r;
    }
    lastStringOverrun_ = std::any_of(buffer.begin() + static_cast<long>(bufferSize), buffer.end(),
                                     [](unsigned char c) { return c != kGuard; });
    auto end = std::find(buffer.begin(), buffer.begin() + static_cast<long>(bufferSize), 0);
    if (end == buffer.begin() + static_cast<long>(bufferSize)) {
        // Untouched buffers (the opcode wrote nothing) count as empty, not as an overrun.
        bool untouched = std::all_of(buffer.begin(), buffer.begin() + static_cast<long>(bufferSize),
                                     [](unsigned char c) { return c == kGuard; });
        if (!untouched) {
            lastStringOverrun_ = true;
        }
        return untouched ? std::string() : std::string(buffer.begin(), end);
    }
    return std::string(buffer.begin(), end);
}

std::string HostModule::getProgramName() { return queryString(vst2::effGetProgramName, 0, 64); }
std::string HostModule::paramLabel(int index, std::size_t size) { return queryString(vst2::effGetParamLabel, index, size); }
std::string HostModule::paramDisplay(int index, std::size_t size) { return queryString(vst2::effGetParamDisplay, index, size); }
std::string HostModule::paramName(int index, std::size_t size) { return queryString(vst2::effGetParamName, index, size); }
std::string HostModule::effectName() { return queryString(vst2::effGetEffectName, 0, 64); }
std::string HostModule::vendorString() { return queryString(vst2::effGetVendorString, 0, 65); }
std::string HostModule::productString() { return queryString(vst2::effGetProductString, 0, 65); }

std::optional<std::string> HostModule::programNameIndexed(int index, std::size_t size)
{
    vst2::VstIntPtr result = 0;
    std::string name = queryString(vst2::effGetProgramNameIndexed, index, size, &result);
    if (result == 0) {
        return std::nullopt;
    }
    return name;
}

std::optional<vst2::ERect> HostModule::editGetRect()
{
    vst2::ERect* rect = nullptr;
    if (dispatch(vst2::effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr) {
        return std::nullopt;
    }
    return *rect;
}

std::vector<std::uint8_t> HostModule::getChunk(bool program)
{
    void* data = nullptr;
    vst2::VstIntPtr size = dispatch(vst2::effGetChunk, program ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool HostModule::setChunk(bool program, const std::vector<std::uint8_t>& data)
{
    // The host's copy: a buffer of exactly the chunk's size, so a reader that runs past it is caught.
    std::vector<std::uint8_t> copy(data);
    return dispatch(vst2::effSetChunk, program ? 1 : 0, static_cast<vst2::VstIntPtr>(copy.size()),
                    copy.empty() ? nullptr : copy.data()) != 0;
}

vst2::VstIntPtr HostModule::sendMidi(const std::vector<vst2::VstMidiEvent>& events)
{
    pendingMidi_ = std::make_unique<MidiEventBlock>(events);
    return processEvents(pendingMidi_->events());
}

std::optional<vst2::VstPinProperties> HostModule::inputProperties(int index)
{
    vst2::VstPinProperties pin{};
    if (dispatch(vst2::effGetInputProperties, index, 0, &pin) == 0) {
        return std::nullopt;
    }
    return pin;
}

std::optional<vst2::VstPinProperties> HostModule::outputProperties(int index)
{
    vst2::VstPinProperties pin{};
    if (dispatch(vst2::effGetOutputProperties, index, 0, &pin) == 0) {
        return std::nullopt;
    }
    return pin;
}

void HostModule::setParameter(int index, float value)
{
    if (effect_ != nullptr) {
        effect_->setParameter(effect_, index, value);
    }
}

float HostModule::getParameter(int index)
{
    return effect_ != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

void HostModule::processReplacing(std::vector<float>& left, std::vector<float>& right, int frames)
{
    left.assign(static_cast<std::size_t>(std::max(frames, 0)), 0.5f);
    right.assign(static_cast<std::size_t>(std::max(frames, 0)), 0.5f);
    if (effect_ == nullptr || effect_->processReplacing == nullptr) {
        return;
    }
    float* outputs[2] = {left.data(), right.data()};
    float* inputs[2] = {nullptr, nullptr};
    effect_->processReplacing(effect_, inputs, outputs, frames);
    processedMidi_ = std::move(pendingMidi_);
}

void HostModule::processAccumulating(std::vector<float>& left, std::vector<float>& right, int frames)
{
    left.resize(static_cast<std::size_t>(std::max(frames, 0)), 0.0f);
    right.resize(static_cast<std::size_t>(std::max(frames, 0)), 0.0f);
    if (effect_ == nullptr || effect_->process == nullptr) {
        return;
    }
    float* outputs[2] = {left.data(), right.data()};
    float* inputs[2] = {nullptr, nullptr};
    effect_->process(effect_, inputs, outputs, frames);
    processedMidi_ = std::move(pendingMidi_);
}

vst2::VstIntPtr HostModule::onCallback(vst2::AEffect* /*effect*/, vst2::VstInt32 opcode, vst2::VstInt32 index,
                                       vst2::VstIntPtr value, void* ptr, float opt)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    switch (opcode) {
    case vst2::audioMasterVersion:
        ++state_.versionQueries;
        return state_.version;
    case vst2::audioMasterAutomate:
        state_.automations.push_back({index, opt});
        return 0;
    case vst2::audioMasterWantMidi:
        ++state_.wantMidiCount;
        return 1;
    case vst2::audioMasterGetTime:
        ++state_.timeQueries;
        if (!state_.provideTimeInfo) {
            return 0;
        }
        timeReply_ = state_.timeInfo;
        if (timeReply_.sampleRate == 0.0) {
            timeReply_.sampleRate = state_.sampleRate;
        }
        return reinterpret_cast<vst2::VstIntPtr>(&timeReply_);
    case vst2::audioMasterProcessEvents: {
        const auto* events = static_cast<const vst2::VstEvents*>(ptr);
        if (events == nullptr) {
            return 0;
        }
        for (int i = 0; i < events->numEvents; ++i) {
            const vst2::VstEvent* event = events->events[i];
            if (event != nullptr && event->type == vst2::kVstMidiType) {
                const auto* midi = reinterpret_cast<const vst2::VstMidiEvent*>(event);
                state_.midiOut.push_back({midi->deltaFrames, static_cast<std::uint8_t>(midi->midiData[0]),
                                          static_cast<std::uint8_t>(midi->midiData[1]),
                                          static_cast<std::uint8_t>(midi->midiData[2])});
            }
        }
        return 1;
    }
    case vst2::audioMasterUpdateDisplay:
        ++state_.updateDisplayCount;
        return 1;
    case vst2::audioMasterBeginEdit:
        state_.beginEdits.push_back(index);
        return 1;
    case vst2::audioMasterEndEdit:
        state_.endEdits.push_back(index);
        return 1;
    case vst2::audioMasterGetSampleRate:
        return static_cast<vst2::VstIntPtr>(state_.sampleRate);
    case vst2::audioMasterGetBlockSize:
        return state_.blockSize;
    case vst2::audioMasterGetVendorString:
        if (ptr != nullptr) {
            std::strcpy(static_cast<char*>(ptr), "Harness");
        }
        return 1;
    case vst2::audioMasterGetProductString:
        if (ptr != nullptr) {
            std::strcpy(static_cast<char*>(ptr), "pelko host harness");
        }
        return 1;
    case vst2::audioMasterGetCurrentProcessLevel:
        return 0;
    default:
        (void)value;
        return 0;
    }
}

MidiEventBlock::MidiEventBlock(const std::vector<vst2::VstMidiEvent>& events) : midi_(events)
{
    // numEvents, reserved, then one pointer per event.
    std::size_t words = 2 + std::max<std::size_t>(midi_.size(), 2);
    storage_.assign(words, 0);
    auto* block = reinterpret_cast<vst2::VstEvents*>(storage_.data());
    block->numEvents = static_cast<vst2::VstInt32>(midi_.size());
    auto** pointers = reinterpret_cast<vst2::VstEvent**>(storage_.data() + 2);
    for (std::size_t i = 0; i < midi_.size(); ++i) {
        pointers[i] = reinterpret_cast<vst2::VstEvent*>(&midi_[i]);
    }
}

vst2::VstMidiEvent midiEvent(int deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    vst2::VstMidiEvent event{};
    event.type = vst2::kVstMidiType;
    event.byteSize = 24;
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

}  // namespace host
