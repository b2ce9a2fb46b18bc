#include "platform/messages.h"

#include "platform/threads.h"
#include "platform/user_interface.h"

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

namespace pelko {
namespace {

struct MessageRow {
    int number;
    const char* text;
};

constexpr MessageRow kMessages[] = {
    {0, "An unknown error occurred"},
    {1, "Out of memory"},
    {2, "Bitmap could not be loaded"},
    {3, "Colors file could not be loaded"},
    {4, "Invalid patch/bank format"},
    {5, "This file was created with a more recent version of the program."},
    {6, "Error writing file"},
    {7, "Error opening file"},
    {8, "Error reading file"},
    {12, "Too many assignments for this control (max 16)"},
    {13, "Your Pelko Wavetable Files (.vfs) are outdated."},
    {14, "Error while performing database operation"},
    {15, "This preset is already in the database. Do you want to add it anyway ?"},
    {16, "This preset seems to be corrupted."},
    {17, "Do you also want to delete all presets and subcategories ?"},
    {19, "An error occured while loading a waveform."},
    {20, "Couldn't get Pelko setup path from registry. Please use the following dialog to locate it."},
    {21, "Pelko is going to update your library presets to enable keyword searches. Please be patient, it may "
         "take a few minutes."},
};

// Messages raised on the audio thread wait here, in fixed storage (no allocation there). When the
// queue is full further messages are dropped: the first ones carry the cause.
struct DeferredMessage {
    int number;
    int style;
    char detail[256];
};
constexpr int kDeferredCapacity = 16;
std::array<DeferredMessage, kDeferredCapacity> deferred;
int deferredCount = 0;
std::mutex deferredMutex;

bool present(int number, std::string_view detail, int style, const char* captionOverride)
{
    const char* text = messageText(number);
    if (text == nullptr) {
        number = 0;
        text = messageText(0);
    }
    std::string full = text;
    if (!detail.empty()) {
        full += "\n";
        full.append(detail.data(), detail.size());
    }
    const char* caption = captionOverride != nullptr ? captionOverride : number == kMsgKeywordUpgrade ? kWarningCaption : kErrorCaption;
    MessageKind kind = style == kMessageYesNo ? MessageKind::Question : MessageKind::Warning;
    return userInterface().messageBox(full, caption, kind);
}

}  // namespace

const char* messageText(int number)
{
    for (const MessageRow& row : kMessages) {
        if (row.number == number) {
            return row.text;
        }
    }
    return nullptr;
}

bool showMessage(int number, std::string_view detail, int style, const char* caption)
{
    if (onAudioThread()) {
        std::unique_lock<std::mutex> lock(deferredMutex, std::try_to_lock);
        if (lock.owns_lock() && deferredCount < kDeferredCapacity) {
            DeferredMessage& slot = deferred[static_cast<std::size_t>(deferredCount++)];
            slot.number = number;
            slot.style = style;
            std::size_t n = std::min(detail.size(), sizeof slot.detail - 1);
            if (n > 0) {
                std::memcpy(slot.detail, detail.data(), n);
            }
            slot.detail[n] = '\0';
        }
        return false;
    }
    showDeferredMessages();
    return present(number, detail, style, caption);
}

void showPlainMessage(const std::string& text, const std::string& caption)
{
    userInterface().messageBox(text, caption, MessageKind::Warning);
}

void showDeferredMessages()
{
    if (onAudioThread()) {
        return;
    }
    std::array<DeferredMessage, kDeferredCapacity> pending;
    int count;
    {
        std::lock_guard<std::mutex> lock(deferredMutex);
        count = deferredCount;
        std::copy(deferred.begin(), deferred.begin() + count, pending.begin());
        deferredCount = 0;
    }
    for (int i = 0; i < count; ++i) {
        const DeferredMessage& m = pending[static_cast<std::size_t>(i)];
        present(m.number, m.detail, m.style == kMessageYesNo ? kMessageOk : m.style, nullptr);
    }
}

int deferredMessageCount()
{
    std::lock_guard<std::mutex> lock(deferredMutex);
    return deferredCount;
}

}  // namespace pelko
