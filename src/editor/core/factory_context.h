// The factory context: what the layout reader (skin.dat) creates through. It keeps the container
// that lines go into, creates each line's view by its type name, configures it from its skin.ini
// item and hands it to the editor, which binds it to its tags. Pages are kept detached in the
// editor's page table; any other container goes onto the frame (or into the open container).
#pragma once

#include "editor/skin/skin_layout.h"
#include "editor/toolkit/container.h"
#include "editor/toolkit/ref.h"

#include <vector>

namespace pelko {

class Editor;

class FactoryContext final : public LayoutBuilder {
public:
    explicit FactoryContext(Editor& editor) : editor_(editor) {}

    void createControl(const std::string& type, const std::string& item, int tag, const std::vector<int>& params) override;
    void openContainer(const std::string& type, const std::string& item, int tag) override;
    void closeContainer() override;

private:
    Container* current() const { return open_.empty() ? nullptr : open_.back().get(); }

    Editor& editor_;
    // The containers opened and not yet closed, innermost last (null for one that failed: its
    // lines then go to the one around it).
    std::vector<Ref<Container>> open_;
};

}  // namespace pelko
