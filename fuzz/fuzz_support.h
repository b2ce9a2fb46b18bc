// Shared by the fuzz targets: a user interface that shows nothing, and the storage owner the
// readers write into (kept across inputs, as a plug-in keeps its bank).
#pragma once

#include "platform/user_interface.h"
#include "storage/chunk_storage.h"

#include <memory>

namespace fuzzing {

class SilentUserInterface final : public pelko::UserInterface {
public:
    bool messageBox(const std::string&, const std::string&, pelko::MessageKind) override { return false; }
    std::optional<std::string> fileDialog(const pelko::FileDialogRequest&) override { return std::nullopt; }
    void openWebPage(const std::string&) override {}
};

inline void silence()
{
    static bool installed = false;
    if (!installed) {
        pelko::setUserInterface(std::make_shared<SilentUserInterface>());
        installed = true;
    }
}

struct Owner {
    pelko::ProgramBank bank;
    pelko::Program editBuffer;
    int current = 0;
    bool globalTuningOn = false;
    pelko::TuningScaleObject globalTuning = pelko::makeGlobalTuning();
    pelko::TextObject bankInfo = pelko::makeBankInfo();
    pelko::StorageState state{bank, editBuffer, current, {globalTuningOn, globalTuning, bankInfo}};
};

inline Owner& owner()
{
    static Owner o;
    return o;
}

}  // namespace fuzzing
