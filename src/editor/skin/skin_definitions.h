// "skin.ini": named attribute sets, one line each ("Name: key=value, @=Other, key=value").
// Inclusion with "@" copies an item defined on an earlier line at that point of the line, so what
// follows overrides it; a new line for a name replaces the old set entirely. Parse diagnostics go
// to the debug channel.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace pelko {

using AttributeSet = std::unordered_map<std::string, std::string>;

class SkinDefinitions {
public:
    // Parses skin.ini text into the map (adding to and replacing what is there).
    void parse(std::string_view text);
    // Reads the file; a missing file leaves the map as it is (empty for a fresh one).
    void read(const std::string& path);
    void clear() { items_.clear(); }

    // The set of an item, or none.
    const AttributeSet* find(const std::string& item) const;
    std::size_t size() const { return items_.size(); }

private:
    void parseLine(std::string_view line);

    std::unordered_map<std::string, AttributeSet> items_;
};

}  // namespace pelko
