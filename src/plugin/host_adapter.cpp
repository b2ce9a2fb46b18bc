#include "plugin/host_adapter.h"

#include "plugin/synth_plugin.h"

namespace pelko {
namespace {

vst2::VstIntPtr dispatcher(vst2::AEffect* effect, vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value,
                           void* ptr, float opt)
{
    SynthPlugin* plugin = SynthPlugin::fromEffect(effect);
    if (plugin == nullptr) {
        return 0;
    }
    if (opcode == vst2::effClose) {
        // The host frees the plug-in here: the object deletes itself.
        delete plugin;
        return 0;
    }
    try {
        return plugin->dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void processReplacing(vst2::AEffect* effect, float** /*inputs*/, float** outputs, vst2::VstInt32 frames)
{
    if (SynthPlugin* plugin = SynthPlugin::fromEffect(effect)) {
        plugin->processReplacing(outputs, frames);
    }
}

void processAccumulating(vst2::AEffect* effect, float** /*inputs*/, float** outputs, vst2::VstInt32 frames)
{
    if (SynthPlugin* plugin = SynthPlugin::fromEffect(effect)) {
        plugin->processAccumulating(outputs, frames);
    }
}

void setParameter(vst2::AEffect* effect, vst2::VstInt32 index, float value)
{
    if (SynthPlugin* plugin = SynthPlugin::fromEffect(effect)) {
        plugin->setParameter(index, value);
    }
}

float getParameter(vst2::AEffect* effect, vst2::VstInt32 index)
{
    SynthPlugin* plugin = SynthPlugin::fromEffect(effect);
    return plugin != nullptr ? plugin->getParameter(index) : 0.0f;
}

}  // namespace

void attachHostFunctions(vst2::AEffect& effect)
{
    effect.dispatcher = &dispatcher;
    effect.process = &processAccumulating;
    effect.processReplacing = &processReplacing;
    effect.processDoubleReplacing = nullptr;
    effect.setParameter = &setParameter;
    effect.getParameter = &getParameter;
}

}  // namespace pelko
