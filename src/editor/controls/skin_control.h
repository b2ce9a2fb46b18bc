// The base of the editor's parameter controls: a control that answers the editor's records
// (control_messages.h), keeps the services of its editor from the configure record, reads its
// skin item, and remembers the patch objects it is bound to. Subclasses override the hooks of the
// kinds they handle; the base places the control at "x", "y" (and "width", "height" when given).
#pragma once

#include "editor/controls/control_messages.h"
#include "editor/controls/editor_services.h"
#include "editor/toolkit/control.h"

#include <string>
#include <vector>

namespace pelko {

constexpr int kFirstObjectTag = 208;
constexpr int kFirstCommandTag = 10000;

inline bool isParameterTag(int tag) { return tag >= 0 && tag < kFirstObjectTag; }
inline bool isObjectTag(int tag) { return tag >= kFirstObjectTag && tag < kFirstObjectTag + 225; }

class SkinControl : public Control {
public:
    SkinControl(ControlListener* listener, int tag);

    int notify(std::uint32_t key, const Notification& record) override;
    // The handler of the editor's records (after the control operations).
    virtual int handleMessage(const Notification& record);

    EditorServices* services() const { return services_; }
    const std::string& item() const { return item_; }
    // The patch objects bound to the control: its own tag's first, then its params list.
    const std::vector<int>& boundObjects() const { return objects_; }
    // The first bound object, or -1.
    int boundObject() const { return objects_.empty() ? -1 : objects_.front(); }

protected:
    ~SkinControl() override = default;

    // Kind 2: reads the item's attributes; the base places the control.
    virtual void configure(SkinAttributes& attributes, const std::string& item);
    // Kind 3: remembers the object.
    virtual void bindObject(int index);
    // Kind 0: the object changed; the base marks the control for redrawing.
    virtual void objectChanged(int index);
    // Kind 1: the editor state changed; the base marks the control for redrawing.
    virtual void refresh();
    virtual void rebind(int base);
    virtual void popupClosed(bool apply);

    // Draws now when there is a context, else at the next update.
    void redraw(DrawContext* context);
    // Sets the value bounded to minimum … maximum; true when it changed.
    bool changeValue(float value);
    // Sets the rectangle and the area that takes the mouse.
    void place(const Rect& r);

    EditorServices* services_ = nullptr;
    std::string item_;
    std::vector<int> objects_;
};

}  // namespace pelko
