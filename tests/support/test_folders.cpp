#include "support/test_folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace testing_support {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "pelko-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern + "/";
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

IsolatedConfig::IsolatedConfig()
{
    const std::pair<const char*, std::string> variables[] = {
        {"XDG_CONFIG_HOME", home_.path()}, {"XDG_DATA_HOME", dataHome()}, {"XDG_STATE_HOME", stateHome()}};
    for (const auto& [name, value] : variables) {
        const char* previous = std::getenv(name);
        saved_.push_back({name, previous != nullptr ? previous : "", previous != nullptr});
        ::setenv(name, value.c_str(), 1);
    }
}

IsolatedConfig::~IsolatedConfig()
{
    for (const SavedVariable& variable : saved_) {
        if (variable.wasSet) {
            ::setenv(variable.name, variable.value.c_str(), 1);
        } else {
            ::unsetenv(variable.name);
        }
    }
}

std::string IsolatedConfig::registryFile() const { return home_.path() + "Vantomo/Pelko2/registry"; }

void IsolatedConfig::writeRegistry(const std::string& contents) const
{
    std::filesystem::create_directories(home_.path() + "Vantomo/Pelko2");
    std::ofstream(registryFile(), std::ios::binary) << contents;
}

InstallFolderCopy::InstallFolderCopy(bool withFactoryBank)
{
    std::filesystem::path source(PELKO_BUILD_INSTALL_FOLDER);
    if (std::filesystem::exists(source)) {
        std::filesystem::copy(source, folder_.path(), std::filesystem::copy_options::recursive);
    }
    std::error_code ignored;
    std::filesystem::remove(folder_.path() + "tmp.sav", ignored);
    if (!withFactoryBank) {
        std::filesystem::remove(folder_.path() + "presets/Factory.fxb", ignored);
    }
}

std::map<std::string, std::string> filesBelow(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[std::filesystem::relative(entry.path(), folder).string()] =
                std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return files;
}

std::string modulePath() { return PELKO_MODULE_PATH; }

}  // namespace testing_support
