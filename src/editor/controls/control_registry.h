// The process-wide registry of control types by name. Each type the skin layout may name has a
// creator that takes the editor's listener and the line's tag and returns a new view (a control,
// a container or a frame), or none. Filled once at start, before any editor exists; read on the
// user-interface thread only.
#pragma once

#include "editor/toolkit/control.h"
#include "editor/toolkit/ref.h"

#include <functional>
#include <map>
#include <string>

namespace pelko {

using ControlCreator = std::function<Ref<View>(ControlListener* listener, int tag)>;

class ControlRegistry {
public:
    static ControlRegistry& shared();

    // Adds or replaces the creator of a type (names are case-sensitive).
    void add(const std::string& type, ControlCreator creator);
    // A new view of the type, or none. An unknown type writes "genericFactory: create failed",
    // the number of registered types and every registered name, sorted, to the debug channel.
    Ref<View> create(const std::string& type, ControlListener* listener, int tag) const;
    bool has(const std::string& type) const { return creators_.count(type) != 0; }
    std::size_t size() const { return creators_.size(); }

private:
    std::map<std::string, ControlCreator> creators_;
};

}  // namespace pelko
