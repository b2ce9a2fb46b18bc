#include "platform/user_interface.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace pelko {
namespace {

std::mutex serviceMutex;
std::shared_ptr<UserInterface> service;
// Replaced services stay alive: a reference handed out by userInterface() never dangles.
std::vector<std::shared_ptr<UserInterface>> retiredServices;

bool programOnPath(const char* name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return false;
    }
    std::string all(path);
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find(':', start);
        if (end == std::string::npos) {
            end = all.size();
        }
        std::string candidate = all.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Runs a program without a shell; returns its exit status (-1 when it could not run) and what it
// printed on standard output.
int runProgram(const std::vector<std::string>& args, std::string* output)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return -1;
    }
    char buffer[1024];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        if (output != nullptr) {
            output->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) < 0) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string withoutTrailingNewline(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

bool HeadlessUserInterface::messageBox(const std::string& text, const std::string& caption, MessageKind kind)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return kind != MessageKind::Question;
}

std::optional<std::string> HeadlessUserInterface::fileDialog(const FileDialogRequest&) { return std::nullopt; }

void HeadlessUserInterface::openWebPage(const std::string& url) { std::fprintf(stderr, "%s\n", url.c_str()); }

bool DesktopUserInterface::available()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0' && (programOnPath("zenity") || programOnPath("kdialog"));
}

bool DesktopUserInterface::messageBox(const std::string& text, const std::string& caption, MessageKind kind)
{
    std::vector<std::string> args;
    if (programOnPath("zenity")) {
        args = {"zenity", kind == MessageKind::Question ? "--question" : "--warning", "--title=" + caption,
                "--no-markup", "--text=" + text};
    } else {
        args = {"kdialog", "--title", caption, kind == MessageKind::Question ? "--yesno" : "--sorry", text};
    }
    int status = runProgram(args, nullptr);
    if (status < 0) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return kind != MessageKind::Question;
    }
    return status == 0;
}

std::optional<std::string> DesktopUserInterface::fileDialog(const FileDialogRequest& request)
{
    std::string start = request.initialFolder;
    if (!start.empty() && start.back() != '/') {
        start += '/';
    }
    std::vector<std::string> args;
    std::string pattern = "*." + request.extension;
    if (programOnPath("zenity")) {
        args = {"zenity", "--file-selection", "--title=" + request.title};
        if (request.save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        if (!start.empty()) {
            args.push_back("--filename=" + start);
        }
        args.push_back("--file-filter=" + request.filterDescription + " (" + pattern + ") | " + pattern);
    } else {
        args = {"kdialog", "--title", request.title, request.save ? "--getsavefilename" : "--getopenfilename",
                start.empty() ? "." : start, pattern + "|" + request.filterDescription};
    }
    std::string output;
    if (runProgram(args, &output) != 0) {
        return std::nullopt;
    }
    output = withoutTrailingNewline(output);
    if (output.empty()) {
        return std::nullopt;
    }
    return output;
}

void DesktopUserInterface::openWebPage(const std::string& url) { runProgram({"xdg-open", url}, nullptr); }

bool ScriptedUserInterface::messageBox(const std::string& text, const std::string& caption, MessageKind kind)
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({text, caption, kind});
    if (answers_.empty()) {
        return kind != MessageKind::Question;
    }
    bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUserInterface::fileDialog(const FileDialogRequest& request)
{
    std::lock_guard<std::mutex> lock(mutex_);
    fileRequests_.push_back(request);
    if (fileNames_.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> name = fileNames_.front();
    fileNames_.pop_front();
    return name;
}

void ScriptedUserInterface::openWebPage(const std::string& url)
{
    std::lock_guard<std::mutex> lock(mutex_);
    webPages_.push_back(url);
}

void ScriptedUserInterface::queueAnswer(bool yes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(yes);
}

void ScriptedUserInterface::queueFileName(std::optional<std::string> name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    fileNames_.push_back(std::move(name));
}

std::vector<ScriptedUserInterface::Message> ScriptedUserInterface::messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<FileDialogRequest> ScriptedUserInterface::fileRequests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return fileRequests_;
}

std::vector<std::string> ScriptedUserInterface::webPages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return webPages_;
}

void ScriptedUserInterface::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
    fileRequests_.clear();
    webPages_.clear();
    answers_.clear();
    fileNames_.clear();
}

UserInterface& userInterface()
{
    std::lock_guard<std::mutex> lock(serviceMutex);
    if (!service) {
        if (DesktopUserInterface::available()) {
            service = std::make_shared<DesktopUserInterface>();
        } else {
            service = std::make_shared<HeadlessUserInterface>();
        }
    }
    return *service;
}

std::shared_ptr<UserInterface> setUserInterface(std::shared_ptr<UserInterface> ui)
{
    std::lock_guard<std::mutex> lock(serviceMutex);
    std::shared_ptr<UserInterface> previous = service;
    if (previous) {
        retiredServices.push_back(previous);
    }
    service = std::move(ui);
    return previous;
}

}  // namespace pelko
