#include "editor/controls/skin_control.h"

#include "editor/toolkit/draw_context.h"

#include <algorithm>

namespace pelko {

SkinControl::SkinControl(ControlListener* listener, int tag) : Control(Rect{}, listener, tag)
{
    if (isObjectTag(tag)) {
        objects_.push_back(tag - kFirstObjectTag);
    }
}

int SkinControl::notify(std::uint32_t key, const Notification& record)
{
    if (key != kControlNotifyKey) {
        return 0;
    }
    return handleMessage(record);
}

int SkinControl::handleMessage(const Notification& record)
{
    switch (messageKind(record)) {
    case ControlMessage::kObjectChanged:
        if (int index = messageObject(record); index >= 0) {
            objectChanged(index);
        }
        return 1;
    case ControlMessage::kRefresh:
        refresh();
        return 1;
    case ControlMessage::kConfigure:
        services_ = configuredServices(record);
        item_ = std::string(record.text);
        if (services_ != nullptr) {
            configure(services_->attributes(), item_);
        }
        return 1;
    case ControlMessage::kBindObject:
        if (int index = messageObject(record); index >= 0) {
            bindObject(index);
        }
        return 1;
    case ControlMessage::kRebind:
        rebind(static_cast<int>(record.first));
        return 1;
    case ControlMessage::kPopupClosed:
        popupClosed(record.first != 0);
        return 1;
    case ControlMessage::kIdle:
        return 0;
    }
    return 0;
}

void SkinControl::configure(SkinAttributes& attributes, const std::string& item)
{
    int x = attributes.integer(item, "x");
    int y = attributes.integer(item, "y");
    int width = attributes.integer(item, "width");
    int height = attributes.integer(item, "height");
    place(Rect::ofSize(x, y, std::max(width, 0), std::max(height, 0)));
}

void SkinControl::bindObject(int index)
{
    if (std::find(objects_.begin(), objects_.end(), index) == objects_.end()) {
        objects_.push_back(index);
    }
    setDirty(true);
}

void SkinControl::objectChanged(int) { setDirty(true); }
void SkinControl::refresh() { setDirty(true); }
void SkinControl::rebind(int) {}
void SkinControl::popupClosed(bool) {}

void SkinControl::redraw(DrawContext* context)
{
    if (context != nullptr) {
        draw(*context);
    } else {
        setDirty(true);
        invalidate();
    }
}

bool SkinControl::changeValue(float value)
{
    float before = value_;
    setValue(value);
    bounceValue();
    return value_ != before;
}

void SkinControl::place(const Rect& r)
{
    setRect(r);
    setMouseableArea(r);
}

}  // namespace pelko
