// The page layouts of the factory skin, read from the recipe's layout file: the frame, the
// pages and on each page its sections and widgets (a widget is one kind of control as the user
// sees it: a knob with its label and value, a button, a menu, an editor...). Templates ("for")
// and repeats expand here, so the rest of the tool sees every widget with its final name and
// position.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace skin_content {

struct Widget {
    std::string kind;   // section, label, knob, slider, display, menu, text, button, editor, list, user, tabs
    std::string type;   // the control type written into skin.dat
    std::string tag;    // the tag as written into skin.dat
    std::string label;  // label, title or button text
    int x = 0, y = 0, w = 0, h = 0;
    int rows = 0;       // lists
    std::map<std::string, std::string> options;
    int line = 0;       // in the layout file, for messages
};

struct Page {
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
    std::string title;  // drawn on popup panels
    std::vector<Widget> widgets;
};

struct Layout {
    int width = 0, height = 0;
    std::vector<Page> pages;
};

// False with a message (file and line) on any malformed line, unknown kind or option.
bool readLayout(const std::string& path, Layout& layout, std::string& error);

}  // namespace skin_content
