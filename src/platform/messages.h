// The single routine through which every user-visible failure is reported: message n of the
// message table, optionally a line break and a detail text, with the product's captions.
#pragma once

#include <string>
#include <string_view>

namespace pelko {

enum MessageStyle {
    kMessageOk = 0,           // warning icon, OK
    kMessageYesNo = 1,        // question icon, Yes/No
    kMessageOkWarning = 2,    // warning icon, OK
};

// The message table's numbers, by what each message says.
enum MessageId : int {
    kMsgUnknownError = 0,
    kMsgOutOfMemory = 1,
    kMsgBitmapNotLoaded = 2,
    kMsgColorsNotLoaded = 3,
    kMsgInvalidFormat = 4,
    kMsgNewerVersion = 5,
    kMsgErrorWriting = 6,
    kMsgErrorOpening = 7,
    kMsgErrorReading = 8,
    kMsgTooManyAssignments = 12,
    kMsgWavetablesOutdated = 13,
    kMsgDatabaseError = 14,
    kMsgPresetAlreadyStored = 15,
    kMsgPresetCorrupted = 16,
    kMsgDeleteCategoryContents = 17,
    kMsgWaveformNotLoaded = 19,
    kMsgNoSetupPath = 20,
    kMsgKeywordUpgrade = 21,
};

constexpr const char* kErrorCaption = "Pelko Error";
constexpr const char* kWarningCaption = "Pelko Warning";

// The table's text for message n; nullptr for numbers the table does not use.
const char* messageText(int number);

// Shows message n (unknown numbers show message 0). Returns true for Yes (style 1) or OK.
// On the audio thread nothing is shown: the message is queued for the next user-interface call
// and a question counts as answered No.
// A caption other than the product's may be given (e.g. a question with its own title).
bool showMessage(int number, std::string_view detail = {}, int style = kMessageOk, const char* caption = nullptr);

// The entry point's own two plain boxes ("cant alloc vsti" / "cant init vsti", caption "error").
void showPlainMessage(const std::string& text, const std::string& caption);

// Shows the messages queued on the audio thread. Called from user-interface entry points.
void showDeferredMessages();

// Number of messages waiting to be shown (for tests).
int deferredMessageCount();

}  // namespace pelko
