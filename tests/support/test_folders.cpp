#include "support/test_folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

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
    if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
        previous_ = previous;
        hadPrevious_ = true;
    }
    ::setenv("XDG_CONFIG_HOME", home_.path().c_str(), 1);
}

IsolatedConfig::~IsolatedConfig()
{
    if (hadPrevious_) {
        ::setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
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

std::string modulePath() { return PELKO_MODULE_PATH; }

}  // namespace testing_support
