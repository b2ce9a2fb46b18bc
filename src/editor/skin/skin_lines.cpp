#include "editor/skin/skin_lines.h"

namespace pelko {

bool SkinLines::next(std::string_view& line)
{
    if (position_ >= text_.size()) {
        return false;
    }
    std::size_t start = position_;
    std::size_t end = start;
    while (end < text_.size() && end - start < kSkinLineLimit && text_[end] != '\n' && text_[end] != '\r') {
        ++end;
    }
    position_ = end;
    if (position_ < text_.size()) {
        if (text_[position_] == '\r') {
            ++position_;
            if (position_ < text_.size() && text_[position_] == '\n') {
                ++position_;
            }
        } else if (text_[position_] == '\n') {
            ++position_;
        }
        // A line cut at the limit continues as the next line.
    }
    line = text_.substr(start, end - start);
    if (std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
        line = line.substr(0, nul);
    }
    return true;
}

}  // namespace pelko
