// The records the editor sends its controls through notify(kControlNotifyKey, record). A control
// ignores any other key and any kind it does not handle. What each kind carries:
//
// | kind | name          | first                          | second       | data              | text           |
// |------|---------------|--------------------------------|--------------|-------------------|----------------|
// | 0    | objectChanged | patch object index 0–224       | 0            | none              | empty          |
// | 1    | refresh       | 0                              | 0            | none              | empty          |
// | 2    | configure     | 0                              | 0            | EditorServices*   | skin item name |
// | 3    | bindObject    | patch object index 0–224       | its tag      | none              | empty          |
// | 4    | rebind        | new base (see below)           | 0            | none              | empty          |
// | 5    | popupClosed   | 1 apply, 0 discard             | 0            | none              | empty          |
// | 6    | idle          | 0                              | 0            | none              | empty          |
//
// - kind 0 is sent when an object changed (by any source) and once for every bound object when
//   the editor opens; the editor always passes the object index, never the tag. The control
//   re-reads the object through EditorServices::readObject and redraws.
// - kind 1 is sent to controls under command tags (10000 and above) when they are added and at
//   every refresh: they re-read the editor state they show.
// - kind 2 is sent right after creation, before the control is added anywhere: the control reads
//   its skin attributes (EditorServices::attributes()) for the item and keeps the services
//   pointer, which outlives every control of the editor.
// - kind 3 is sent after adding, for the control's own tag when it is 208–432 and for every
//   entry of its params list; the control remembers the object(s) it shows and edits. Objects
//   are read and written only through EditorServices (readObject / editObject), never kept.
// - kind 4 goes to the children of a container that is rebound: for the additive page the base
//   is the first object of the block to edit (184 + oscillator); for the assignments panel it is
//   the user control (0–5) whose assignments the panel shows.
// - kind 5 goes to the popup page (and through it to its children) when it closes.
// - kind 6 goes once, at the editor's next idle, to a control that asked for it
//   (EditorServices::requestIdle): work deferred from a key or a click (a search while typing).
#pragma once

#include "editor/toolkit/view.h"

#include <cstdint>
#include <string_view>

namespace pelko {

class EditorServices;

enum class ControlMessage : int {
    kObjectChanged = 0,
    kRefresh = 1,
    kConfigure = 2,
    kBindObject = 3,
    kRebind = 4,
    kPopupClosed = 5,
    kIdle = 6,
};

inline Notification makeObjectChanged(int objectIndex)
{
    return Notification{static_cast<int>(ControlMessage::kObjectChanged), objectIndex, 0, nullptr, {}};
}

inline Notification makeRefresh()
{
    return Notification{static_cast<int>(ControlMessage::kRefresh), 0, 0, nullptr, {}};
}

// The item name must outlive the notify call only.
inline Notification makeConfigure(EditorServices& services, std::string_view item)
{
    return Notification{static_cast<int>(ControlMessage::kConfigure), 0, 0, &services, item};
}

inline Notification makeBindObject(int objectIndex)
{
    return Notification{static_cast<int>(ControlMessage::kBindObject), objectIndex, 208 + objectIndex, nullptr, {}};
}

inline Notification makeRebind(int base)
{
    return Notification{static_cast<int>(ControlMessage::kRebind), base, 0, nullptr, {}};
}

inline Notification makePopupClosed(bool apply)
{
    return Notification{static_cast<int>(ControlMessage::kPopupClosed), apply ? 1 : 0, 0, nullptr, {}};
}

inline ControlMessage messageKind(const Notification& record) { return static_cast<ControlMessage>(record.kind); }

// The services of a configure record (none for any other kind).
inline EditorServices* configuredServices(const Notification& record)
{
    if (messageKind(record) != ControlMessage::kConfigure) {
        return nullptr;
    }
    return static_cast<EditorServices*>(const_cast<void*>(record.data));
}

// The object index of kinds 0 and 3; -1 when it is outside 0–224 or for another kind.
inline int messageObject(const Notification& record)
{
    ControlMessage kind = messageKind(record);
    if (kind != ControlMessage::kObjectChanged && kind != ControlMessage::kBindObject) {
        return -1;
    }
    return record.first >= 0 && record.first < 225 ? static_cast<int>(record.first) : -1;
}

}  // namespace pelko
