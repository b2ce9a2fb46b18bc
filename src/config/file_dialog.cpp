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

std::optional<std::string> runFileDialog(RegistryStore& settings, bool save, const FileDialogSpec& spec)
{
    FileDialogRequest request;
    request.save = save;
    request.title = spec.title;
    request.filterDescription = spec.filterDescription;
    request.extension = std::string(withoutDot(spec.extension));
    if (spec.folderValue != nullptr) {
        request.initialFolder = settings.readText(spec.folderValue).value_or(std::string());
    }
    std::optional<std::string> chosen = userInterface().fileDialog(request);
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    std::string path = save ? withDefaultExtension(*chosen, spec.extension) : *chosen;
    if (spec.folderValue != nullptr) {
        settings.writeText(spec.folderValue, folderPart(path));
    }
    return path;
}

}  // namespace pelko
