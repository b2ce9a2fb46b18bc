// The VST 2 face of the plug-in: the AEffect descriptor, the C functions the host calls, the
// dispatcher's opcode switch, the chunk buffers handed to the host, and the host callback behind
// HostServices. Everything else is the plug-in object's, reached through PluginInterface; a second
// format needs an adapter like this one and nothing more.
#pragma once

#include "plugin/plugin_editor.h"
#include "plugin/plugin_interface.h"
#include "plugin/vst2_abi.h"

#include <atomic>
#include <memory>
#include <vector>

namespace pelko {

class SynthPlugin;

constexpr vst2::VstInt32 kUniqueId = vst2::fourCC('P', 'K', 'V', '4');

class Vst2Adapter final : private HostServices {
public:
    // Builds the descriptor, then the plug-in object; what the object tells the host while it
    // starts reaches the host once the host has called the dispatcher.
    explicit Vst2Adapter(vst2::HostCallback host);
    ~Vst2Adapter() override;
    Vst2Adapter(const Vst2Adapter&) = delete;
    Vst2Adapter& operator=(const Vst2Adapter&) = delete;

    static Vst2Adapter* fromEffect(vst2::AEffect* effect);
    bool initOk() const;
    vst2::AEffect* effect() { return &effect_; }
    SynthPlugin* plugin() const { return plugin_.get(); }
    // The editor, or none when no factory was installed.
    PluginEditor* editor() const { return editor_.get(); }

    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr, float opt);

private:
    vst2::VstIntPtr call(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
    vst2::VstIntPtr getChunk(bool programOnly, void** data);
    vst2::VstIntPtr editorCall(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr, float opt);

    // HostServices
    void automate(int parameter, float value) override;
    void beginEdit(int parameter) override;
    void endEdit(int parameter) override;
    void updateDisplay() override;
    std::optional<double> tempo() override;
    void sendMidi(int frame, const std::uint8_t (&bytes)[3]) override;
    void wantMidi() override;

    vst2::AEffect effect_{};
    vst2::HostCallback host_ = nullptr;
    // What the last chunk requests returned; the host reads them until the next request.
    std::vector<std::uint8_t> programChunk_;
    std::vector<std::uint8_t> bankChunk_;
    std::unique_ptr<SynthPlugin> plugin_;
    // Whether the host has called the dispatcher yet, and a display refresh held back until then.
    std::atomic<bool> opened_{false};
    std::atomic<bool> displayPending_{false};
    // Made after the plug-in and destroyed before it; the rectangle handed to the host.
    std::unique_ptr<PluginEditor> editor_;
    vst2::ERect editorRect_{};
};

}  // namespace pelko
