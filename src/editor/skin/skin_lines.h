// Splits skin text into lines of at most 511 characters: a longer line is read as several lines
// (as a 512-byte line buffer would), a NUL byte ends the line's text, and LF, CR LF and a lone CR
// all end a line.
#pragma once

#include <string_view>

namespace pelko {

constexpr std::size_t kSkinLineLimit = 511;

class SkinLines {
public:
    explicit SkinLines(std::string_view text) : text_(text) {}
    // The next line without its line end; false at the end of the text.
    bool next(std::string_view& line);

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

}  // namespace pelko
