// A stand-in instrument for the renderer's tests. It writes one line per call it receives to the
// file named by PELKO_PROBE_LOG: sample rate, block size, chunks (size and checksum), program
// selections, and for every process call the host time info it was given and each MIDI event at
// its absolute sample position (time info sample position + delta frames). It plays a known
// signal: left = ((n mod 200) - 100) / 128 for absolute sample n, right = -left. Setting
// PELKO_PROBE_REFUSE_CHUNKS makes it refuse every chunk.
#include "plugin/vst2_abi.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Probe {
    vst2::AEffect effect{};
    vst2::HostCallback host = nullptr;
    std::FILE* log = nullptr;
    std::vector<vst2::VstMidiEvent> pending;
    int program = 0;
};

Probe* probeOf(vst2::AEffect* effect) { return static_cast<Probe*>(effect->object); }

void note(Probe* p, const char* format, ...) __attribute__((format(printf, 2, 3)));
void note(Probe* p, const char* format, ...)
{
    if (p->log == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(p->log, format, args);
    va_end(args);
    std::fputc('\n', p->log);
    std::fflush(p->log);
}

unsigned checksum(const unsigned char* bytes, long size)
{
    unsigned hash = 2166136261u;  // FNV-1a
    for (long i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 16777619u;
    }
    return hash;
}

vst2::VstIntPtr dispatch(vst2::AEffect* effect, vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value,
                         void* ptr, float opt)
{
    Probe* p = probeOf(effect);
    switch (opcode) {
    case vst2::effClose:
        note(p, "close");
        if (p->log != nullptr) {
            std::fclose(p->log);
        }
        delete p;
        return 0;
    case vst2::effSetSampleRate:
        note(p, "rate %.0f", static_cast<double>(opt));
        return 0;
    case vst2::effSetBlockSize:
        note(p, "blocksize %ld", static_cast<long>(value));
        return 0;
    case vst2::effMainsChanged:
        note(p, value != 0 ? "resume" : "suspend");
        return 0;
    case vst2::effSetProgram:
        p->program = static_cast<int>(value);
        note(p, "program %d", p->program);
        return 0;
    case vst2::effGetProgram:
        return p->program;
    case vst2::effSetChunk: {
        bool refuse = std::getenv("PELKO_PROBE_REFUSE_CHUNKS") != nullptr;
        note(p, "chunk %s %ld %08x", index == 1 ? "program" : "bank", static_cast<long>(value),
             ptr != nullptr ? checksum(static_cast<const unsigned char*>(ptr), static_cast<long>(value)) : 0u);
        return refuse ? 0 : 1;
    }
    case vst2::effProcessEvents: {
        // Copied at once: only the process call that follows may rely on the host's block.
        p->pending.clear();
        const auto* events = static_cast<const vst2::VstEvents*>(ptr);
        for (int i = 0; events != nullptr && i < events->numEvents; ++i) {
            const vst2::VstEvent* e = events->events[i];
            if (e != nullptr && e->type == vst2::kVstMidiType) {
                p->pending.push_back(*reinterpret_cast<const vst2::VstMidiEvent*>(e));
            }
        }
        return 1;
    }
    case vst2::effGetEffectName:
        if (ptr != nullptr) {
            std::strcpy(static_cast<char*>(ptr), "Render probe");
        }
        return 1;
    case vst2::effStartProcess:
        note(p, "start");
        return 0;
    case vst2::effStopProcess:
        note(p, "stop");
        return 0;
    default:
        return 0;
    }
}

void processReplacing(vst2::AEffect* effect, float**, float** outputs, vst2::VstInt32 frames)
{
    Probe* p = probeOf(effect);
    auto* info = reinterpret_cast<const vst2::VstTimeInfo*>(p->host(effect, vst2::audioMasterGetTime, 0, ~0, nullptr, 0.0f));
    double start = info != nullptr ? info->samplePos : -1.0;
    if (info != nullptr) {
        note(p, "process %.0f %d %.6f %.9f %.9f %d %d %d %.0f", info->samplePos, frames, info->tempo, info->ppqPos,
             info->barStartPos, info->timeSigNumerator, info->timeSigDenominator, info->flags, info->sampleRate);
    } else {
        note(p, "process none %d", frames);
    }
    for (const vst2::VstMidiEvent& e : p->pending) {
        note(p, "event %.0f %d %d %d %d", start + e.deltaFrames, static_cast<unsigned char>(e.midiData[0]),
             static_cast<unsigned char>(e.midiData[1]), static_cast<unsigned char>(e.midiData[2]), e.deltaFrames);
    }
    p->pending.clear();
    long long n = static_cast<long long>(start);
    for (int i = 0; i < frames; ++i, ++n) {
        float value = static_cast<float>((n % 200) - 100) / 128.0f;
        outputs[0][i] = value;
        outputs[1][i] = -value;
    }
}

void processAccumulating(vst2::AEffect*, float**, float**, vst2::VstInt32) {}
void setParameter(vst2::AEffect*, vst2::VstInt32, float) {}
float getParameter(vst2::AEffect*, vst2::VstInt32) { return 0.0f; }

}  // namespace

extern "C" __attribute__((visibility("default"))) vst2::AEffect* VSTPluginMain(vst2::HostCallback host)
{
    auto* p = new Probe;
    p->host = host;
    if (const char* path = std::getenv("PELKO_PROBE_LOG")) {
        p->log = std::fopen(path, "a");
    }
    vst2::AEffect& e = p->effect;
    e.magic = vst2::kEffectMagic;
    e.dispatcher = dispatch;
    e.process = processAccumulating;
    e.processReplacing = processReplacing;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.numPrograms = 64;
    e.numOutputs = 2;
    e.flags = vst2::effFlagsCanReplacing | vst2::effFlagsProgramChunks | vst2::effFlagsIsSynth;
    e.uniqueID = vst2::fourCC('P', 'r', 'b', 'T');
    e.version = 1;
    e.ioRatio = 1.0f;
    e.object = p;
    return &e;
}
