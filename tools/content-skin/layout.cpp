#include "layout.h"

#include <charconv>
#include <fstream>

namespace skin_content {
namespace {

struct Line {
    int number = 0;
    std::vector<std::string> tokens;
};

// Splits at blanks; "..." is one token (without its quotes).
std::vector<std::string> tokenize(const std::string& text)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
            ++i;
            continue;
        }
        if (text[i] == '#') {
            break;
        }
        std::string token;
        bool quoted = false;
        while (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t' && text[i] != '\r'))) {
            if (text[i] == '"') {
                quoted = !quoted;
            } else {
                token += text[i];
            }
            ++i;
        }
        tokens.push_back(token);
    }
    return tokens;
}

using Bindings = std::map<std::string, int>;

// Replaces {v}, {v+N} and {v-N} by the bound values.
bool substitute(std::string& text, const Bindings& bindings, std::string& error)
{
    std::size_t open = 0;
    while ((open = text.find('{', open)) != std::string::npos) {
        std::size_t close = text.find('}', open);
        if (close == std::string::npos) {
            error = "unclosed {";
            return false;
        }
        std::string inner = text.substr(open + 1, close - open - 1);
        std::size_t op = inner.find_first_of("+-");
        std::string name = inner.substr(0, op);
        int offset = 0;
        if (op != std::string::npos) {
            const char* first = inner.data() + op + 1;
            auto [end, failed] = std::from_chars(first, inner.data() + inner.size(), offset);
            if (failed != std::errc() || end != inner.data() + inner.size()) {
                error = "bad offset in {" + inner + "}";
                return false;
            }
            offset = inner[op] == '-' ? -offset : offset;
        }
        auto found = bindings.find(name);
        if (found == bindings.end()) {
            error = "{" + name + "} is not bound here";
            return false;
        }
        std::string value = std::to_string(found->second + offset);
        text.replace(open, close - open + 1, value);
        open += value.size();
    }
    return true;
}

bool toInt(const std::string& text, int& value)
{
    auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
    return failed == std::errc() && end == text.data() + text.size();
}

// "v=A..B" → name, first, last.
bool parseRange(const std::string& text, std::string& name, int& first, int& last)
{
    std::size_t equals = text.find('=');
    std::size_t dots = text.find("..");
    if (equals == std::string::npos || dots == std::string::npos || dots < equals) {
        return false;
    }
    name = text.substr(0, equals);
    return toInt(text.substr(equals + 1, dots - equals - 1), first) && toInt(text.substr(dots + 2), last) && first <= last;
}

// The positional fields of each widget kind: T type, G tag, L label, x y w h, r rows.
const std::map<std::string, std::string>& schemas()
{
    static const std::map<std::string, std::string> table = {
        {"section", "Lxywh"}, {"label", "Lxy"},     {"knob", "TGLxy"},   {"slider", "TGLxy"},
        {"display", "TGLxyw"}, {"menu", "TGLxyw"},  {"text", "TGLxyw"},  {"button", "TGLxyw"},
        {"editor", "TGLxywh"}, {"list", "TGxywr"}, {"user", "Gxy"},     {"tabs", "xywhL"},
    };
    return table;
}

class Reader {
public:
    Reader(std::vector<Line> lines, std::string path) : lines_(std::move(lines)), path_(std::move(path)) {}

    bool run(Layout& layout, std::string& error)
    {
        std::size_t i = 0;
        while (i < lines_.size()) {
            const Line& line = lines_[i];
            const auto& t = line.tokens;
            if (t[0] == "frame" && t.size() == 3 && toInt(t[1], layout.width) && toInt(t[2], layout.height)) {
                ++i;
                continue;
            }
            if (t[0] != "page" || t.size() < 6) {
                return fail(line, "expected 'frame W H' or 'page NAME X Y W H [for v=A..B] [title=...]'", error);
            }
            std::size_t end = blockEnd(i, "page", "end");
            if (end == lines_.size()) {
                return fail(line, "page without 'end'", error);
            }
            std::string variable;
            int first = 0, last = 0;
            std::string title;
            for (std::size_t k = 6; k < t.size(); ++k) {
                if (t[k] == "for" && k + 1 < t.size() && parseRange(t[k + 1], variable, first, last)) {
                    ++k;
                } else if (t[k].rfind("title=", 0) == 0) {
                    title = t[k].substr(6);
                } else {
                    return fail(line, "unexpected '" + t[k] + "'", error);
                }
            }
            for (int v = first; v <= last; ++v) {
                Bindings bindings;
                if (!variable.empty()) {
                    bindings[variable] = v;
                }
                Page page;
                std::vector<std::string> head(t.begin() + 1, t.begin() + 6);
                for (std::string& field : head) {
                    if (!substitute(field, bindings, message_)) {
                        return fail(line, message_, error);
                    }
                }
                page.name = head[0];
                page.title = title;
                if (!toInt(head[1], page.x) || !toInt(head[2], page.y) || !toInt(head[3], page.w) || !toInt(head[4], page.h)) {
                    return fail(line, "page position and size must be numbers", error);
                }
                if (!expand(i + 1, end, bindings, 0, 0, page, error)) {
                    return false;
                }
                layout.pages.push_back(std::move(page));
            }
            i = end + 1;
        }
        return true;
    }

private:
    bool fail(const Line& line, const std::string& what, std::string& error) const
    {
        error = path_ + ":" + std::to_string(line.number) + ": " + what;
        return false;
    }

    std::size_t blockEnd(std::size_t start, const char* open, const char* close) const
    {
        int depth = 0;
        for (std::size_t i = start; i < lines_.size(); ++i) {
            if (lines_[i].tokens[0] == open) {
                ++depth;
            } else if (lines_[i].tokens[0] == close && --depth == 0) {
                return i;
            }
        }
        return lines_.size();
    }

    bool expand(std::size_t from, std::size_t to, const Bindings& bindings, int dx, int dy, Page& page, std::string& error)
    {
        for (std::size_t i = from; i < to; ++i) {
            const Line& line = lines_[i];
            if (line.tokens[0] == "repeat") {
                // repeat v=A..B [dx=N] [dy=N]: the lines up to "endrepeat" once per value, each
                // copy moved by (dx, dy) times its position in the range.
                std::size_t end = blockEnd(i, "repeat", "endrepeat");
                std::string variable;
                int first = 0, last = 0, stepX = 0, stepY = 0;
                if (end >= to || line.tokens.size() < 2 || !parseRange(line.tokens[1], variable, first, last)) {
                    return fail(line, "expected 'repeat v=A..B [dx=N] [dy=N]' ... 'endrepeat'", error);
                }
                for (std::size_t k = 2; k < line.tokens.size(); ++k) {
                    const std::string& o = line.tokens[k];
                    bool ok = (o.rfind("dx=", 0) == 0 && toInt(o.substr(3), stepX)) || (o.rfind("dy=", 0) == 0 && toInt(o.substr(3), stepY));
                    if (!ok) {
                        return fail(line, "unexpected '" + o + "'", error);
                    }
                }
                for (int v = first; v <= last; ++v) {
                    Bindings inner = bindings;
                    inner[variable] = v;
                    if (!expand(i + 1, end, inner, dx + stepX * (v - first), dy + stepY * (v - first), page, error)) {
                        return false;
                    }
                }
                i = end;
                continue;
            }
            Widget widget;
            if (!parseWidget(line, bindings, widget, error)) {
                return false;
            }
            widget.x += dx;
            widget.y += dy;
            page.widgets.push_back(std::move(widget));
        }
        return true;
    }

    bool parseWidget(const Line& line, const Bindings& bindings, Widget& widget, std::string& error)
    {
        std::vector<std::string> t = line.tokens;
        for (std::string& token : t) {
            if (!substitute(token, bindings, message_)) {
                return fail(line, message_, error);
            }
        }
        auto schema = schemas().find(t[0]);
        if (schema == schemas().end()) {
            return fail(line, "unknown widget kind '" + t[0] + "'", error);
        }
        const std::string& fields = schema->second;
        if (t.size() < fields.size() + 1) {
            return fail(line, t[0] + " needs " + std::to_string(fields.size()) + " fields", error);
        }
        widget.kind = t[0];
        widget.line = line.number;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const std::string& v = t[k + 1];
            bool ok = true;
            switch (fields[k]) {
            case 'T': widget.type = v; break;
            case 'G': widget.tag = v; break;
            case 'L': widget.label = v; break;
            case 'x': ok = toInt(v, widget.x); break;
            case 'y': ok = toInt(v, widget.y); break;
            case 'w': ok = toInt(v, widget.w); break;
            case 'h': ok = toInt(v, widget.h); break;
            case 'r': ok = toInt(v, widget.rows); break;
            }
            if (!ok) {
                return fail(line, "'" + v + "' is not a number", error);
            }
        }
        for (std::size_t k = fields.size() + 1; k < t.size(); ++k) {
            std::size_t equals = t[k].find('=');
            if (equals == std::string::npos) {
                widget.options[t[k]] = "1";
            } else {
                widget.options[t[k].substr(0, equals)] = t[k].substr(equals + 1);
            }
        }
        return true;
    }

    std::vector<Line> lines_;
    std::string path_;
    std::string message_;
};

}  // namespace

bool readLayout(const std::string& path, Layout& layout, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::vector<Line> lines;
    int number = 0;
    for (std::string text; std::getline(in, text);) {
        ++number;
        Line line{number, tokenize(text)};
        if (!line.tokens.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return Reader(std::move(lines), path).run(layout, error);
}

}  // namespace skin_content
