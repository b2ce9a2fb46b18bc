#include "editor/core/factory_context.h"

#include "editor/core/editor.h"
#include "platform/debug_output.h"

namespace pelko {

void FactoryContext::createControl(const std::string& type, const std::string& item, int tag,
                                   const std::vector<int>& params)
{
    Ref<View> view = editor_.createView(type, item, tag);
    if (!view) {
        debugOutput("create item failed\n");
        return;
    }
    editor_.addControl(*view, tag, params, current());
}

void FactoryContext::openContainer(const std::string& type, const std::string& item, int tag)
{
    Ref<View> view = editor_.createView(type, item, tag);
    auto* container = dynamic_cast<Container*>(view.get());
    if (container == nullptr) {
        debugOutput("create container failed\n");
        open_.push_back(open_.empty() ? Ref<Container>() : open_.back());
        return;
    }
    Ref<Container> opened = Ref<Container>::share(container);
    const int pageIndex = pageIndexOfName(item);
    if (pageIndex >= 0 && open_.empty()) {
        editor_.setPage(pageIndex, opened);
    } else if (Container* outer = current()) {
        container->addReference();
        outer->addView(container);
    } else if (editor_.frame() != nullptr) {
        container->addReference();
        editor_.frame()->addView(container);
    }
    open_.push_back(std::move(opened));
}

void FactoryContext::closeContainer()
{
    if (!open_.empty()) {
        open_.pop_back();
    }
}

}  // namespace pelko
