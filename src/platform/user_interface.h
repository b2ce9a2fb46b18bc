// Message boxes, questions and file dialogs. Three implementations: the desktop one (runs zenity or
// kdialog), a headless one (text to stderr, questions answered No, dialogs cancelled) and a
// scripted one for tests (records every message, answers from queues).
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pelko {

enum class MessageKind {
    Warning,   // warning icon, OK
    Question,  // question icon, Yes/No
};

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string initialFolder;      // may be empty
    std::string filterDescription;  // e.g. "FX Patches"
    std::string extension;          // without the dot, e.g. "fxp"
};

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows a message; true when the user answered Yes (questions) or confirmed (warnings).
    virtual bool messageBox(const std::string& text, const std::string& caption, MessageKind kind) = 0;
    // Asks for a file name; none when the user cancelled. The save variant returns the name as
    // typed: extension handling is the caller's (see config/file_dialog.h).
    virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
    virtual void openWebPage(const std::string& url) = 0;
};

class HeadlessUserInterface final : public UserInterface {
public:
    bool messageBox(const std::string& text, const std::string& caption, MessageKind kind) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    void openWebPage(const std::string& url) override;
};

class DesktopUserInterface final : public UserInterface {
public:
    // Whether a dialog program (zenity, else kdialog) and a display are available.
    static bool available();
    bool messageBox(const std::string& text, const std::string& caption, MessageKind kind) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    void openWebPage(const std::string& url) override;
};

class ScriptedUserInterface final : public UserInterface {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageKind kind;
    };

    bool messageBox(const std::string& text, const std::string& caption, MessageKind kind) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    void openWebPage(const std::string& url) override;

    void queueAnswer(bool yes);
    void queueFileName(std::optional<std::string> name);

    std::vector<Message> messages() const;
    std::vector<FileDialogRequest> fileRequests() const;
    std::vector<std::string> webPages() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::vector<FileDialogRequest> fileRequests_;
    std::vector<std::string> webPages_;
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> fileNames_;
};

// The process-wide service. The first use picks the desktop implementation when it is available,
// else the headless one.
UserInterface& userInterface();
// Replaces the service (tests install a scripted one); returns the previous one.
std::shared_ptr<UserInterface> setUserInterface(std::shared_ptr<UserInterface> ui);

}  // namespace pelko
