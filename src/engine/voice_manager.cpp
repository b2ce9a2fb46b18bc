#include "engine/voice_manager.h"

#include <algorithm>
#include <new>

namespace pelko {

VoiceManager::VoiceManager(VoiceContext& context, int polyphony, int poolSize)
    : context_(context), polyphony_(std::clamp(polyphony, 1, 32))
{
    try {
        blockOutput_.resize(2 * VoiceLanes::kLanes * VoiceLanes::kMaxFrames);
        runOrder_.reserve(static_cast<std::size_t>(std::max(poolSize, 0)));
        finished_.resize(static_cast<std::size_t>(std::max(poolSize, 0)));
        pool_.reserve(static_cast<std::size_t>(std::max(poolSize, 0)));
        for (int i = 0; i < poolSize; ++i) {
            auto voice = std::make_unique<Voice>(context_);
            voice->manager_ = this;
            link(free_, voice.get());
            pool_.push_back(std::move(voice));
        }
    } catch (const std::bad_alloc&) {
        // The pool stays as large as memory allowed.
    }
}

VoiceManager::~VoiceManager() = default;

void VoiceManager::setPolyphony(int voices) { polyphony_ = std::clamp(voices, 1, 32); }

void VoiceManager::link(VoiceList& list, Voice* voice)
{
    voice->prev = nullptr;
    voice->next = list.head;
    if (list.head != nullptr) {
        list.head->prev = voice;
    }
    list.head = voice;
    ++list.count;
    voice->currentList = &list;
}

void VoiceManager::unlink(Voice* voice)
{
    VoiceList* list = voice->currentList;
    if (list == nullptr) {
        return;
    }
    if (voice->prev != nullptr) {
        voice->prev->next = voice->next;
    } else {
        list->head = voice->next;
    }
    if (voice->next != nullptr) {
        voice->next->prev = voice->prev;
    }
    --list->count;
    voice->next = voice->prev = nullptr;
    voice->currentList = nullptr;
}

void VoiceManager::moveTo(VoiceList& list, Voice* voice)
{
    unlink(voice);
    link(list, voice);
}

void VoiceManager::toFree(Voice* voice)
{
    moveTo(free_, voice);
    voice->returnList = nullptr;
    voice->reset();
}

void VoiceManager::renderRun(float* left, float* right, int frames)
{
    for (int n = 0; n < frames; ++n) {
        left[n] = right[n] = 0.0f;
    }
    runOrder_.clear();
    for (Voice* v = playing_.head; v != nullptr && runOrder_.size() < runOrder_.capacity(); v = v->next) {
        runOrder_.push_back(v);
    }
    const int total = static_cast<int>(runOrder_.size());
    if (total == 0 || frames <= 0 || blockOutput_.empty()) {
        return;
    }
    constexpr int kLanes = VoiceLanes::kLanes;
    constexpr int kFrames = VoiceLanes::kMaxFrames;
    float* outLeft[kLanes];
    float* outRight[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        outLeft[l] = blockOutput_.data() + static_cast<std::size_t>(2 * l * kFrames);
        outRight[l] = outLeft[l] + kFrames;
    }
    int finishedCount = 0;
    for (int first = 0; first < total; first += kLanes) {
        const int count = std::min(kLanes, total - first);
        Voice* const* block = runOrder_.data() + first;
        int finishedAt[kLanes];
        VoiceLanes::render(block, count, frames, outLeft, outRight, finishedAt);
        for (int l = 0; l < count; ++l) {
            const float* voiceLeft = outLeft[l];
            const float* voiceRight = outRight[l];
            for (int n = 0; n < frames; ++n) {
                left[n] += voiceLeft[n];
                right[n] += voiceRight[n];
            }
            if (finishedAt[l] >= 0) {
                // Kept in the order the per-sample loop unlinks them: by sample, then list order.
                const FinishedVoice entry{finishedAt[l], block[l]};
                int at = finishedCount++;
                for (; at > 0 && finished_[static_cast<std::size_t>(at - 1)].frame > entry.frame; --at) {
                    finished_[static_cast<std::size_t>(at)] = finished_[static_cast<std::size_t>(at - 1)];
                }
                finished_[static_cast<std::size_t>(at)] = entry;
            }
        }
    }
    for (int k = 0; k < finishedCount; ++k) {
        unlinkFinished(finished_[static_cast<std::size_t>(k)].voice);
    }
}

Voice* VoiceManager::chooseVictim() const
{
    // Candidates: key voices that are not already fading out.
    int lowest = 128;
    for (Voice* v = playing_.head; v != nullptr; v = v->next) {
        if (v->parentNote() == kKeyVoice && !v->stopped()) {
            lowest = std::min(lowest, v->note());
        }
    }
    Voice* oldest = nullptr;
    Voice* softest = nullptr;
    for (Voice* v = playing_.head; v != nullptr; v = v->next) {
        if (v->parentNote() != kKeyVoice || v->stopped() || v->note() == lowest) {
            continue;
        }
        if (v->sounding() && (oldest == nullptr || v->age() > oldest->age())) {
            oldest = v;
        }
        if (softest == nullptr || v->velocity() <= softest->velocity()) {
            softest = v;
        }
    }
    return oldest != nullptr ? oldest : softest;
}

Voice* VoiceManager::noteOn(int note, int velocity)
{
    if (velocity <= 0) {
        noteOff(note);
        return nullptr;
    }
    if (free_.head == nullptr) {
        return nullptr;  // every voice of the pool is busy: the note is ignored
    }
    // 1. Voice limit.
    if (playing_.count >= polyphony_ && polyphony_ > 1) {
        for (Voice* v = playing_.head; v != nullptr; v = v->next) {
            if (v->note() == note && v->parentNote() == kKeyVoice && !v->keyDown()) {
                v->stop(&free_);
            }
        }
        if (Voice* victim = chooseVictim()) {
            victim->stop(&free_);
        }
    }
    // 2.
    Voice* voice = free_.head;
    moveTo(playing_, voice);
    voice->start(note, velocity);
    voice->returnList = &free_;
    // 3. Mono mode: the others step aside; one whose key is down waits on the held stack.
    if (mono()) {
        Voice* legatoSource = nullptr;
        for (Voice* v = voice->next; v != nullptr; v = v->next) {
            if (v->keyDown()) {
                if (legatoSource == nullptr) {
                    legatoSource = v;
                }
                v->stop(&held_);
            } else {
                v->stop(&free_);
            }
        }
        if (legatoSource != nullptr) {
            voice->takeFilterEnvelopesFrom(*legatoSource);
        }
    }
    return voice;
}

void VoiceManager::noteOff(int note)
{
    // 1. Mono mode: the previous key still held takes over again.
    Voice* head = playing_.head;
    if (mono() && head != nullptr && head->note() == note && head->keyDown() && !head->stopped()) {
        Voice* next = nullptr;
        if (held_.head != nullptr) {
            next = held_.head;
            moveTo(playing_, next);
        } else if (playing_.count > 1) {
            for (Voice* v = head->next; v != nullptr; v = v->next) {
                if (v->stopped() && v->note() != note && v->returnList == &held_) {
                    next = v;
                    break;
                }
            }
        }
        if (next != nullptr) {
            next->takeFilterEnvelopesFrom(*head);
            next->setGlide();
            next->resume(&free_);
            for (Voice* v = playing_.head; v != nullptr; v = v->next) {
                if (v->note() == note) {
                    v->stop(&free_);
                }
            }
        }
    }
    // 2. A parked key that is released is forgotten.
    for (Voice* v = held_.head; v != nullptr;) {
        Voice* following = v->next;
        if (v->note() == note) {
            toFree(v);
        }
        v = following;
    }
    // 3.
    for (Voice* v = playing_.head; v != nullptr; v = v->next) {
        if (v->note() != note || v->parentNote() != kKeyVoice) {
            continue;
        }
        if (v->keyDown() && !v->stopped()) {
            v->keyUp();
        } else {
            v->stop(&free_);
            v->keyDown_ = false;
        }
    }
}

void VoiceManager::pedalUp()
{
    forPlayingAndHeld([](Voice& v) {
        if (v.sustained()) {
            v.keyUp();
        }
    });
}

void VoiceManager::allNotesOff()
{
    forPlayingAndHeld([](Voice& v) { v.keyUp(); });
}

void VoiceManager::broadcastPitchBend(float ratio)
{
    forPlayingAndHeld([ratio](Voice& v) { v.setPitchBend(ratio); });
}

void VoiceManager::broadcastAftertouch(int pressure)
{
    forPlayingAndHeld([pressure](Voice& v) { v.setAftertouch(pressure); });
}

void VoiceManager::polyAftertouch(int note, int pressure)
{
    forPlayingAndHeld([note, pressure](Voice& v) {
        if (v.note() == note) {
            v.setAftertouch(pressure);
        }
    });
}

void VoiceManager::broadcastCutoff(int filterIndex, float value)
{
    forPlayingAndHeld([filterIndex, value](Voice& v) { v.setCutoff(filterIndex, value); });
}

void VoiceManager::broadcastResonance(int filterIndex, float value)
{
    forPlayingAndHeld([filterIndex, value](Voice& v) { v.setResonance(filterIndex, value); });
}

Voice* VoiceManager::unlinkFinished(Voice* voice)
{
    Voice* following = voice->next;
    VoiceList* target = voice->returnList != nullptr ? voice->returnList : &free_;
    if (target == &free_) {
        toFree(voice);
    } else {
        moveTo(*target, voice);
        voice->returnList = nullptr;
    }
    return following;
}

void VoiceManager::resetAll()
{
    while (playing_.head != nullptr) {
        toFree(playing_.head);
    }
    while (held_.head != nullptr) {
        toFree(held_.head);
    }
}

void VoiceManager::releaseAll()
{
    while (held_.head != nullptr) {
        toFree(held_.head);
    }
    for (Voice* v = playing_.head; v != nullptr; v = v->next) {
        v->keyDown_ = false;
        v->sustained_ = false;
        v->returnList = &free_;
        v->release();
    }
}

void VoiceManager::prepareFilters(const FilterTables& tables)
{
    for (auto& voice : pool_) {
        voice->prepareFilters(tables);
    }
}

bool VoiceManager::usesWave(const Wave* wave) const
{
    for (const auto& voice : pool_) {
        for (int i = 0; i < 6; ++i) {
            if (voice->oscillator(i).wave() == wave) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace pelko
