// The frame and container types the skin names: "MainFrame" (the editor's frame), "ChildFrame"
// (a frame for a window of its own) and "ContainerPage" (a page or panel). Each reads its
// background bitmap and its size from its skin.ini item; a container also its place ("x", "y").
// A container passes the rebinding (kind 4) and popup-closing (kind 5) notifications on to the
// controls inside it.
#include "editor/controls/control_registry.h"
#include "editor/core/editor.h"

#include <algorithm>

namespace pelko {
namespace {

constexpr int kLargestSide = 4096;

const EditorServices* servicesOf(const Notification& record)
{
    return static_cast<const EditorServices*>(record.data);
}

class SkinFrame final : public Frame {
public:
    SkinFrame(int width, int height, FrameOwner* owner) : Frame(width, height, owner) {}

    int notify(std::uint32_t key, const Notification& record) override
    {
        if (key != kControlNotifyKey) {
            return 0;
        }
        if (record.kind == notify::kConfigure && record.data != nullptr) {
            auto& attributes = const_cast<EditorServices*>(servicesOf(record))->attributes();
            setBackground(attributes.bitmap(std::string(record.text), "background"));
            return 1;
        }
        return 0;
    }
};

class SkinContainer final : public Container {
public:
    SkinContainer() : Container(Rect{}) {}

    int notify(std::uint32_t key, const Notification& record) override
    {
        if (key != kControlNotifyKey) {
            return 0;
        }
        switch (record.kind) {
        case notify::kConfigure: {
            if (record.data == nullptr) {
                return 0;
            }
            auto& attributes = const_cast<EditorServices*>(servicesOf(record))->attributes();
            const std::string item(record.text);
            const int x = attributes.integer(item, "x");
            const int y = attributes.integer(item, "y");
            const int width = std::clamp(attributes.integer(item, "width"), 0, kLargestSide);
            const int height = std::clamp(attributes.integer(item, "height"), 0, kLargestSide);
            setRect(Rect{x, y, x + width, y + height});
            setMouseableArea(Rect{x, y, x + width, y + height});
            setBackground(attributes.bitmap(item, "background"));
            return 1;
        }
        case notify::kRebase:
        case notify::kPopupClosed:
            return notifyChildren(key, record);
        default:
            return 0;
        }
    }
};

FrameOwner* ownerOf(ControlListener* listener) { return dynamic_cast<FrameOwner*>(listener); }

Ref<View> makeFrame(const char* item, ControlListener* listener)
{
    // The frame's size is needed before it exists: read from the item named like the type.
    SkinAttributes attributes;
    const Rect size = skinFrameSize(attributes, item);
    return Ref<View>::adopt(new SkinFrame(size.width(), size.height(), ownerOf(listener)));
}

}  // namespace

void registerFrameTypes()
{
    ControlRegistry& registry = ControlRegistry::shared();
    if (registry.has("MainFrame")) {
        return;
    }
    registry.add("MainFrame", [](ControlListener* listener, int) { return makeFrame("MainFrame", listener); });
    registry.add("ChildFrame", [](ControlListener* listener, int) { return makeFrame("ChildFrame", listener); });
    registry.add("ContainerPage", [](ControlListener*, int) { return Ref<View>::adopt(new SkinContainer()); });
}

}  // namespace pelko
