#include "platform/threads.h"

namespace pelko {
namespace {
thread_local bool audioThread = false;
}

AudioThreadScope::AudioThreadScope() : previous_(audioThread) { audioThread = true; }
AudioThreadScope::~AudioThreadScope() { audioThread = previous_; }
bool onAudioThread() { return audioThread; }

}  // namespace pelko
