// skin.dat: the layout text, read with a factory that only records what it was asked to create.
#include "editor/skin/skin_layout.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

class StubBuilder final : public pelko::LayoutBuilder {
public:
    void createControl(const std::string&, const std::string&, int, const std::vector<int>& params) override
    {
        if (params.size() > static_cast<std::size_t>(pelko::kMaxParamsEntries)) {
            std::abort();
        }
        for (int tag : params) {
            bool object = tag >= 208 && tag < 208 + 225;
            if (!object && tag < 10000) {
                std::abort();
            }
        }
    }
    void openContainer(const std::string& type, const std::string& item, int) override
    {
        (void)type;
        (void)pelko::pageIndexOfName(item);
        ++depth;
    }
    void closeContainer() override { depth = 0; }
    int depth = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StubBuilder builder;
    pelko::parseLayout(std::string_view(reinterpret_cast<const char*>(data), size), builder);
    return 0;
}
