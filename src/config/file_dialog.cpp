#include "config/file_dialog.h"

#include "platform/file_system.h"
#include "platform/user_interface.h"

namespace pelko {
namespace {
std::string_view withoutDot(std::string_view extension)
{
    if (!extension.empty() && extension.front() == '.') {
        extension.remove_prefix(1);
    }
    return extension;
}
}  // namespace

std::string dialogFilterText(std::string_view description, std::string_view extension)
{
    std::string ext(withoutDot(extension));
    std::string text(description);
    text += " (*." + ext + ")";
    text += '\0';
    text += "*." + ext;
    text += '\0';
    return text;
}

std::string withDefaultExtension(std::string_view path, std::string_view extension)
{
    std::string name = fileNamePart(path);
    std::string result(path);
    if (name.find('.') == std::string::npos) {
        result += '.';
        result += withoutDot(extension);
    }
    return result;
}

std::optional<std::string> runFileDialog(RegistryStore& settings, bool save, const FileDialogOptions& options,
                                         std::string_view fallbackFolder)
{
    FileDialogRequest request;
    request.save = save;
    request.title = options.title;
    request.filterDescription = options.filterDescription;
    request.extension = std::string(withoutDot(options.extension));
    if (options.folderValue != nullptr) {
        request.initialFolder = settings.readText(options.folderValue).value_or(std::string());
    }
    if (request.initialFolder.empty()) {
        request.initialFolder = std::string(fallbackFolder);
    }
    std::optional<std::string> chosen = userInterface().fileDialog(request);
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    std::string path = save ? withDefaultExtension(*chosen, options.extension) : *chosen;
    if (options.folderValue != nullptr) {
        settings.writeText(options.folderValue, folderPart(path));
    }
    return path;
}

}  // namespace pelko
