// A view with a normalized value and a tag, and the listener it tells about user changes.
// The control operations follow the view operations in their fixed order (numbers below).
//
// Dirty rule: a control is dirty when its value differs from the value last drawn (the previous
// value) or its dirty flag is set; marking it dirty sets the previous value to -1, clearing the
// flag sets the previous value to the current one.
#pragma once

#include "editor/toolkit/view.h"

namespace pelko {

class Control;

// Implemented by the editor. valueChanged is called after the control took the user's new value;
// the context is the one the control draws in, or none.
class ControlListener {
public:
    virtual ~ControlListener() = default;
    virtual void valueChanged(DrawContext* context, Control& control) = 0;
    // A drag of the control's value starts or ends (the host's automation gesture).
    virtual void beginEdit(int /*tag*/) {}
    virtual void endEdit(int /*tag*/) {}
};

class Control : public View {
public:
    Control(const Rect& rect, ControlListener* listener, int tag, Ref<Bitmap> background = {});

    virtual void setValue(float value);                 // 33
    virtual float value() const;                        // 34
    virtual void setMinimum(float minimum);             // 35
    virtual float minimum() const;                      // 36
    virtual void setMaximum(float maximum);             // 37
    virtual float maximum() const;                      // 38
    virtual void setPreviousValue(float value);         // 39
    virtual float previousValue() const;                // 40
    virtual void setDefaultValue(float value);          // 41
    virtual float defaultValue() const;                 // 42
    virtual void setTag(int tag);                       // 43
    bool isDirty() const override;                      // 44
    virtual void setBackgroundBitmap(Ref<Bitmap> bitmap);  // 45
    virtual Bitmap* backgroundBitmap() const;           // 46
    virtual void setBackgroundOffsetPoint(Point offset);  // 47
    virtual void copyBackgroundOffset();                // 48
    virtual void setWheelIncrement(float increment);    // 49
    virtual float wheelIncrement() const;               // 50
    virtual void bounceValue();                         // 51

    void setDirty(bool dirty = true) override;

    int tag() const { return tag_; }
    ControlListener* listener() const { return listener_; }
    void setListener(ControlListener* listener) { listener_ = listener; }
    int doubleClickTime() const { return doubleClickTime_; }
    void setDoubleClickTime(int ms) { doubleClickTime_ = ms; }
    // True when the press came within the double-click time after the previous one.
    bool isDoubleClick(const MouseEvent& event) const;

    // Tells the listener (when there is one) that the user changed the value.
    void notifyListener(DrawContext* context);

protected:
    ~Control() override = default;

    ControlListener* listener_;
    int tag_;
    float value_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 1.0f;
    float default_ = 0.5f;
    float previous_ = 1.0f;
    float wheelIncrement_ = 0.1f;
    int doubleClickTime_;
};

// The system's double-click time, at least 250 ms.
int systemDoubleClickTime();

}  // namespace pelko
