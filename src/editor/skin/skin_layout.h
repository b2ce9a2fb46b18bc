// "skin.dat": the layout, one control or container per line:
//   Type Name(Tag)                      a control from the skin.ini item Name, bound to Tag
//   Type Name(Tag) params(P1, P2, ...)  also bound to the listed patch objects
//   Type Name(Tag) {                    a container that the following lines go into, until
//   }                                   which returns to the frame (containers nest one level)
// Tags are numbers, parameter identifiers (0-207) or patch-object names (208-432). A blank line,
// a line without its second token or a second token without exactly one argument ends the
// layout; so does a parse error. Diagnostics go to the debug channel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelko {

constexpr int kMaxParamsEntries = 63;
constexpr int kPatchObjectTagBase = 208;

// The container names that become pages, index 0 – 17; -1 for any other name.
int pageIndexOfName(std::string_view name);
constexpr int kPages = 18;

// What the layout creates (the editor's factory context).
class LayoutBuilder {
public:
    virtual ~LayoutBuilder() = default;
    // params holds the extra tags (patch-object index + 208, or a command tag).
    virtual void createControl(const std::string& type, const std::string& item, int tag, const std::vector<int>& params) = 0;
    virtual void openContainer(const std::string& type, const std::string& item, int tag) = 0;
    virtual void closeContainer() = 0;
};

// The tag a name or number stands for, or false for anything else.
bool layoutTag(std::string_view text, int& tag);

// Parses skin.dat text.
void parseLayout(std::string_view text, LayoutBuilder& builder);
// Reads the file; false when it cannot be opened.
bool readLayout(const std::string& path, LayoutBuilder& builder);

}  // namespace pelko
