#include "skin_writer.h"

#include "platform/file_system.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

namespace skin_content {
namespace {

// Geometry of the compound widgets, in pixels at 1x.
constexpr int kCell = 56;        // width of a knob or slider column
constexpr int kLabel = 16;       // a label row above a control
constexpr int kValueWidth = 48;  // the value field under a knob or slider
constexpr int kPanelPages = 2;   // the popups are drawn as framed panels

struct Rect {
    int x, y, w, h;
};

std::string fieldName(int w, int h) { return "field_" + std::to_string(w) + "x" + std::to_string(h) + ".png"; }

class Writer {
public:
    Writer(const Look& look, const Layout& layout, const std::string& folder)
        : look_(look), layout_(layout), folder_(folder), art_(look, folder)
    {
        ground_ = look.colour("ground");
        panel_ = look.colour("panel");
        panelEdge_ = look.colour("panelEdge");
        field_ = look.colour("field");
        fieldEdge_ = look.colour("fieldEdge");
        text_ = look.colour("text");
        textDim_ = look.colour("textDim");
        title_ = look.colour("title");
        accent_ = look.colour("accent");
        accentText_ = look.colour("accentText");
        knobBody_ = look.colour("knobBody");
        line_ = look.number("lineHeight");
        unit_ = look.number("unit");
        knob_ = look.number("knobSize");
        buttonHeight_ = look.number("buttonHeight");
        sliderHeight_ = look.number("sliderHeight");
        mid_ = mix(knobBody_, accent_, 0.35);
    }

    bool run(std::string& error)
    {
        if (!checkContrast(error) || !shared(error)) {
            return false;
        }
        for (const Page& page : layout_.pages) {
            if (!writePage(page, error)) {
                return false;
            }
        }
        sharedArt();
        if (!look_.missing().empty()) {
            error = "the look lacks or mistypes:" + look_.missing();
            return false;
        }
        if (art_.failed()) {
            error = art_.error();
            return false;
        }
        for (const std::string& text : {ini_.str(), dat_.str()}) {
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);) {
                if (line.size() >= 511) {
                    error = "a skin line is longer than the reader's 511 characters: " + line.substr(0, 40) + "...";
                    return false;
                }
            }
        }
        if (!pelko::writeFileAtomically(folder_ + "skin.ini", ini_.str()) || !pelko::writeFileAtomically(folder_ + "skin.dat", dat_.str())) {
            error = folder_ + ": skin.ini or skin.dat cannot be written";
            return false;
        }
        return true;
    }

private:
    // Every pair of text and ground colour the skin uses must read at 4.5:1 or better.
    bool checkContrast(std::string& error)
    {
        struct Pair {
            const char* what;
            Rgb ink, ground;
        } pairs[] = {
            {"text on panel", text_, panel_},         {"dim text on panel", textDim_, panel_},
            {"text on field", text_, field_},         {"dim text on field", textDim_, field_},
            {"dim text on ground", textDim_, ground_}, {"titles on panel", title_, panel_},
            {"text on accent", accentText_, accent_}, {"text on buttons", text_, knobBody_},
            {"text on half-lit buttons", text_, mid_},
        };
        for (const Pair& p : pairs) {
            if (contrast(p.ink, p.ground) < 4.5) {
                error = std::string(p.what) + ": contrast " + std::to_string(contrast(p.ink, p.ground)) + " is below 4.5";
                return false;
            }
        }
        return true;
    }

    // ---- shared looks and bitmaps ------------------------------------------------------------

    bool shared(std::string&)
    {
        const int frames = look_.number("knobFrames");
        ini_ << "; The factory skin, written by the skin tool from content/skin/. Do not edit: change the recipe.\n";
        ini_ << "MainFrame: width=" << layout_.width << ", height=" << layout_.height << "\n";
        ini_ << "Knob: mode=1, width=" << knob_ << ", height=" << knob_ << ", bitmap=knob.png, nknobs=" << frames << "\n";
        ini_ << "KnobCentred: @=Knob, bitmap=knobc.png, bitmapCentered=1\n";
        ini_ << "Slider: mode=0, width=" << look_.number("sliderWidth") << ", height=" << sliderHeight_
             << ", spacing1=2, spacing2=2, handlex=0, handley=0, sliderBackgroundBitmap=groove.png, sliderItemBitmap=handle.png\n";
        ini_ << "Text: font=font.png, fontDisabled=fontdim.png, hspace=4, vspace=1, hasLabel=0\n";
        ini_ << "Value: @=Text, width=" << kValueWidth << ", height=" << line_ << ", hspace=0, vspace=0, ndigits=3, valueX="
             << (kValueWidth - 3 * art_.glyphWidth('0')) / 2 << ", background=" << fieldName(kValueWidth, line_)
             << ", backgroundDisabled=" << fieldName(kValueWidth, line_) << "\n";
        const Rgb dim = textDim_;
        for (const char* editor : {"UserCommentEditor", "PresetAuthorEditor", "UserControlTextEditor", "EditableStringEditor", "PresetNameEditor"}) {
            ini_ << editor << ": width=224, height=16, font=4, foregroundColor=" << text_.hex << ", borderColor=" << accent_.hex
                 << ", backgroundColor=" << field_.hex << "\n";
        }
        ini_ << "EditorLines: gridColor=" << look_.colour("grid").hex << ", curveColor=" << look_.colour("curve").hex
             << ", curveEndColor=" << look_.colour("curveAlt").hex << ", curveMiddleColor=" << text_.hex
             << ", curveDisabledColor=" << dim.hex << ", curveTopAxisColor=" << fieldEdge_.hex
             << ", curveBottomAxisColor=" << fieldEdge_.hex << ", squareMarkersSize=7, circleMarkersSize=7, menuFont=font.png"
             << ", namesMenuX=6, namesMenuY=4, namesMenuHeight=" << line_ << ", dynamicValueForeground=" << accentText_.hex
             << ", dynamicValueBackground=" << accent_.hex << ", dynamicValueFontSize=11"
             << ", gridTextColor=" << dim.hex << ", gridTextFont=4\n";
        ini_ << "EditorHandles: sustainAreaBackgroundColor=" << mix(field_, accent_, 0.12).hex
             << ", sustainHandleBackgroundColor=" << accent_.hex << ", sustainHandleForegroundColor=" << accentText_.hex
             << ", timeHandleBackgroundColor=" << knobBody_.hex << ", timeHandleForegroundColor=" << text_.hex
             << ", scrollbarSpacing=2, scrollbarColor=" << fieldEdge_.hex << ", handleColor=" << dim.hex << ", handleWidth=6"
             << ", syncBitmap=sync.png\n";
        // Split in two: the reader takes lines of at most 511 characters.
        ini_ << "EditorBars: levelBarColor=" << accent_.hex << ", phaseBarColor=" << look_.colour("curveAlt").hex
             << ", barWidth=10, barSpacing=4, gridTextStep=8, gridTextY=2\n";
        ini_ << "Editor: @=EditorLines, @=EditorHandles, @=EditorBars\n";
        ini_ << "List: @=Text, spacing=16, scrollbarSpacing=2, scrollbarColor=" << fieldEdge_.hex << ", handleColor=" << dim.hex
             << ", handleWidth=6, fontEmptyCategory=fontdim.png\n";

        return true;
    }

    // The bitmaps the shared looks name; drawn once the layout passed its checks.
    void sharedArt()
    {
        const int frames = look_.number("knobFrames");
        art_.bitmapFont("font.png", text_);
        art_.bitmapFont("fontdim.png", textDim_);
        knobStrip("knob.png", false, frames);
        knobStrip("knobc.png", true, frames);
        sliderArt();
        buttonStrip("sync.png", "Sync", 40, 2, false);
    }

    void knobStrip(const std::string& name, bool centred, int frames)
    {
        const Rgb track = look_.colour("knobTrack");
        const Rgb rim = look_.colour("knobRim");
        const double arc = look_.number("knobArc");
        const double size = knob_;
        art_.picture(name, knob_, knob_ * frames, [&](cairo_t* cr) {
            for (int f = 0; f < frames; ++f) {
                const double v = frames > 1 ? static_cast<double>(f) / (frames - 1) : 0.0;
                const double cx = size / 2, cy = f * size + size / 2;
                const double start = 0.75 * M_PI, sweep = 1.5 * M_PI;
                const double angle = start + sweep * v;
                const double radius = size / 2 - arc / 2 - 1;
                cairo_set_line_width(cr, arc);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
                setColour(cr, track);
                cairo_arc(cr, cx, cy, radius, start, start + sweep);
                cairo_stroke(cr);
                const double from = centred ? 1.5 * M_PI : start;
                if (std::abs(angle - from) > 1e-6) {
                    setColour(cr, accent_);
                    cairo_arc(cr, cx, cy, radius, std::min(from, angle), std::max(from, angle));
                    cairo_stroke(cr);
                }
                setColour(cr, knobBody_);
                cairo_arc(cr, cx, cy, radius - arc - 1.5, 0, 2 * M_PI);
                cairo_fill_preserve(cr);
                cairo_set_line_width(cr, 1);
                setColour(cr, rim);
                cairo_stroke(cr);
                cairo_set_line_width(cr, 2);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                setColour(cr, text_);
                const double inner = 2.5, outer = radius - arc - 2.5;
                cairo_move_to(cr, cx + inner * std::cos(angle), cy + inner * std::sin(angle));
                cairo_line_to(cr, cx + outer * std::cos(angle), cy + outer * std::sin(angle));
                cairo_stroke(cr);
            }
        });
    }

    void sliderArt()
    {
        const int w = look_.number("sliderWidth");
        const int handle = look_.number("handleHeight");
        const Rgb track = look_.colour("knobTrack");
        art_.picture("groove.png", w, sliderHeight_, [&](cairo_t* cr) {
            // Ticks every unit, then the slot over them.
            for (int y = handle / 2; y <= sliderHeight_ - handle / 2; y += unit_) {
                fillRect(cr, 1, y, 3, 1, panelEdge_);
                fillRect(cr, w - 4, y, 3, 1, panelEdge_);
            }
            setColour(cr, track);
            roundedRect(cr, w / 2.0 - 2, 2, 4, sliderHeight_ - 4, 2);
            cairo_fill(cr);
        });
        art_.picture("handle.png", w, handle, [&](cairo_t* cr) {
            setColour(cr, look_.colour("knobRim"));
            roundedRect(cr, 0.5, 0.5, w - 1, handle - 1, 2);
            cairo_fill(cr);
            fillRect(cr, 2, handle / 2.0 - 1, w - 4, 2, accent_);
        });
    }

    // A field: the sunken box behind values, menus, names, lists and editors.
    std::string field(int w, int h)
    {
        std::string name = fieldName(w, h);
        art_.picture(name, w, h, [&](cairo_t* cr) {
            fillRect(cr, 0, 0, w, h, field_);
            cairo_set_line_width(cr, 1);
            setColour(cr, fieldEdge_);
            cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
            cairo_stroke(cr);
        });
        return name;
    }

    // Button states stacked vertically: off, (half), on. A tab-styled strip shows the selected
    // look first, because the page-selector command holds 0 while its page is shown.
    void buttonStrip(const std::string& name, const std::string& caption, int w, int states, bool tab)
    {
        const int h = tab ? look_.number("tabHeight") : buttonHeight_;
        art_.picture(name, w, h * states, [&](cairo_t* cr) {
            for (int s = 0; s < states; ++s) {
                const double top = s * h;
                if (tab) {
                    bool selected = s == 0;
                    fillRect(cr, 0, top, w, h, selected ? panel_ : ground_);
                    if (selected) {
                        fillRect(cr, 0, top + h - 3, w, 3, accent_);
                    }
                    art_.text(cr, caption, 0, top + (h - line_) / 2.0, w, selected ? text_ : textDim_, false, Artwork::Align::kCentre);
                    fillRect(cr, w - 1, top + 6, 1, h - 12, panelEdge_);
                    continue;
                }
                const bool on = s == states - 1;
                const bool half = states == 3 && s == 1;
                setColour(cr, on ? accent_ : (half ? mid_ : knobBody_));
                roundedRect(cr, 0.5, top + 0.5, w - 1, h - 1, 3);
                cairo_fill(cr);
                art_.text(cr, stateCaption(caption, s), 0, top + (h - line_) / 2.0, w, on ? accentText_ : text_, false, Artwork::Align::kCentre);
            }
        });
    }

    // "A|B|C" gives each state its own text; a caption without "|" is shown in every state.
    static std::string stateCaption(const std::string& caption, int state)
    {
        std::stringstream parts(caption);
        std::string part, last;
        for (int k = 0; std::getline(parts, part, '|'); ++k) {
            last = part;
            if (k == state) {
                return part;
            }
        }
        return last;
    }

    // ---- pages --------------------------------------------------------------------------------

    bool onGrid(const Widget& w, const Page& page, std::string& error)
    {
        for (int v : {w.x, w.y}) {
            if (v % unit_ != 0) {
                error = "layout line " + std::to_string(w.line) + " (" + page.name + "): " + std::to_string(v) + " is off the grid of " +
                        std::to_string(unit_);
                return false;
            }
        }
        return true;
    }

    bool fits(const Widget& w, const std::string& label, int width, std::string& error)
    {
        if (art_.textWidth(label) > width) {
            error = "layout line " + std::to_string(w.line) + ": \"" + label + "\" is wider than its " + std::to_string(width) + " pixels";
            return false;
        }
        return true;
    }

    std::string item()
    {
        return page_->name + "." + std::to_string(++count_);
    }

    // One control: its skin.ini item and its skin.dat line.
    void control(const std::string& type, const std::string& tag, const std::string& attributes, const std::string& params = {})
    {
        std::string name = item();
        ini_ << name << ": " << attributes << "\n";
        lines_ << type << " " << name << "(" << tag << ")";
        if (!params.empty()) {
            std::string list = params;
            std::replace(list.begin(), list.end(), ';', ',');
            lines_ << " params(" << list << ")";
        }
        lines_ << "\n";
    }

    static std::string at(int x, int y) { return ", x=" + std::to_string(x) + ", y=" + std::to_string(y); }

    std::string option(const Widget& w, const std::string& key, const std::string& otherwise = {}) const
    {
        auto found = w.options.find(key);
        return found == w.options.end() ? otherwise : found->second;
    }

    // Options a widget passes straight into its control's item (for example row= and end=).
    std::string extra(const Widget& w) const
    {
        std::string text;
        for (const auto& [key, value] : w.options) {
            if (key != "params" && key != "value" && key != "centred" && key != "caption" && key != "style" && key != "lamps" &&
                key != "ndigits") {
                text += ", " + key + "=" + value;
            }
        }
        return text;
    }

    // A label row drawn into the page background, centred over a column or left-aligned.
    void label(const std::string& s, int x, int y, int width, bool centred, const Rgb& colour)
    {
        labels_.push_back({s, x, y, width, centred, colour});
    }

    // The area a widget covers, its labels included.
    Rect extent(const Widget& w) const
    {
        const int above = w.label.empty() ? 0 : kLabel;
        const int caption = option(w, "caption").empty() ? 0 : kLabel;
        if (w.kind == "knob" || w.kind == "user") {
            return {w.x, w.y, kCell, (w.kind == "user" ? kLabel : above) + knob_ + 2 + line_};
        }
        if (w.kind == "slider") {
            return {w.x, w.y, kCell, above + sliderHeight_ + 2 + line_};
        }
        if (w.kind == "display") {
            return {w.x, w.y, w.w, line_};
        }
        if (w.kind == "menu" || w.kind == "text") {
            return {w.x, w.y, w.w, above + 16};
        }
        if (w.kind == "button") {
            return {w.x, w.y, w.w, caption + (option(w, "style") == "tab" ? look_.number("tabHeight") : buttonHeight_)};
        }
        if (w.kind == "editor") {
            return {w.x, w.y, w.w, above + w.h};
        }
        if (w.kind == "list") {
            return {w.x, w.y, w.w, w.rows * 16 + 4};
        }
        return {w.x, w.y, w.w, w.h};
    }

    // A widget inside a section keeps a margin of one grid unit from its right and bottom edges;
    // any widget stays inside its page.
    bool placed(const Widget& w, std::string& error) const
    {
        const Rect r = extent(w);
        Rect room{0, 0, page_->w, page_->h};
        int margin = 0;
        for (const Widget& s : sections_) {
            if (w.x >= s.x && w.x < s.x + s.w && w.y >= s.y && w.y < s.y + s.h) {
                room = {s.x, s.y, s.w, s.h};
                margin = unit_;
            }
        }
        if (r.x + r.w > room.x + room.w - margin || r.y + r.h > room.y + room.h - margin) {
            error = "layout line " + std::to_string(w.line) + " (" + page_->name + "): the " + w.kind + " reaches " +
                    std::to_string(r.x + r.w) + "," + std::to_string(r.y + r.h) + ", past its " + (margin != 0 ? "section" : "page");
            return false;
        }
        return true;
    }

    bool widget(const Widget& w, std::string& error)
    {
        const Page& page = *page_;
        if (!onGrid(w, page, error)) {
            return false;
        }
        if (w.kind != "section" && w.kind != "label" && !placed(w, error)) {
            return false;
        }
        const std::string params = option(w, "params");
        if (w.kind == "section") {
            sections_.push_back(w);
            return fits(w, w.label, w.w - 16, error);
        }
        if (w.kind == "label") {
            label(w.label, w.x, w.y, static_cast<int>(art_.textWidth(w.label)) + 1, false, textDim_);
            return true;
        }
        if (w.kind == "knob" || w.kind == "slider") {
            if (!fits(w, w.label, kCell, error)) {
                return false;
            }
            int y = w.y;
            if (!w.label.empty()) {
                label(w.label, w.x, y, kCell, true, textDim_);
                y += kLabel;
            }
            if (w.kind == "knob") {
                std::string look = w.options.count("centred") != 0 ? "KnobCentred" : "Knob";
                control(w.type, w.tag, "@=" + look + at(w.x + (kCell - knob_) / 2, y));
                y += knob_ + 2;
            } else {
                control(w.type, w.tag, "@=Slider" + at(w.x + (kCell - look_.number("sliderWidth")) / 2, y));
                y += sliderHeight_ + 2;
            }
            field(kValueWidth, line_);
            control(option(w, "value", "BitmapParamDisplayer"), w.tag, "@=Value" + at(w.x + (kCell - kValueWidth) / 2, y) + extra(w), params);
            return true;
        }
        if (w.kind == "user") {
            // A user control: its editable caption, the knob and its value.
            // The caption takes the whole column, so that names like "Mod Wheel" fit.
            field(kCell, line_);
            control("UserControlTextDisplayer", "USER_CONTROL_TEXT" + w.tag,
                    "@=Value, hspace=2, width=" + std::to_string(kCell) + ", valueX=" + std::to_string(kCell) +
                        ", background=" + fieldName(kCell, line_) + ", label=User " + w.tag + at(w.x, w.y));
            control("MyUserControlSliderOrKnob", "UserSlider" + w.tag, "@=Knob" + at(w.x + (kCell - knob_) / 2, w.y + kLabel));
            control("BitmapParamDisplayer", "UserSlider" + w.tag, "@=Value" + at(w.x + 4, w.y + kLabel + knob_ + 2));
            return true;
        }
        if (w.kind == "display") {
            const int digits = std::stoi(option(w, "ndigits", "3"));
            const std::string background = field(w.w, line_);
            const int valueX = w.w - 4 - digits * art_.glyphWidth('0');
            if (!fits(w, w.label, valueX - 4, error)) {
                return false;
            }
            control(w.type, w.tag,
                    "@=Text, vspace=0, hspace=4, width=" + std::to_string(w.w) + ", height=" + std::to_string(line_) + ", background=" + background +
                        ", backgroundDisabled=" + background + ", ndigits=" + std::to_string(digits) + ", valueX=" + std::to_string(valueX) +
                        ", label=" + w.label + at(w.x, w.y) + extra(w),
                    params);
            return true;
        }
        if (w.kind == "menu" || w.kind == "text") {
            int y = w.y;
            if (!w.label.empty()) {
                label(w.label, w.x, y, w.w, false, textDim_);
                y += kLabel;
            }
            const std::string background = field(w.w, 16);
            control(w.type, w.tag,
                    "@=Text, width=" + std::to_string(w.w) + ", height=16, background=" + background + ", backgroundDisabled=" + background +
                        at(w.x, y) + extra(w),
                    params);
            return true;
        }
        if (w.kind == "button") {
            int y = w.y;
            const std::string caption = option(w, "caption");
            if (!caption.empty()) {
                label(caption, w.x, y, w.w, false, textDim_);
                y += kLabel;
            }
            for (int s = 0; s < 3; ++s) {
                if (!fits(w, stateCaption(w.label, s), w.w - 6, error)) {
                    return false;
                }
            }
            const bool tab = option(w, "style") == "tab";
            const int states = w.type == "ThreeStatesButton" ? 3 : 2;
            // Buttons that look alike share one strip (and one entry of the bitmap cache).
            std::string name = "button_" + std::to_string(w.w) + "_" + std::to_string(states) + (tab ? "_tab_" : "_");
            for (char c : w.label) {
                name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '-';
            }
            name += ".png";
            buttonStrip(name, w.label, w.w, states, tab);
            control(w.type, w.tag, "bitmap=" + name + at(w.x, y));
            return true;
        }
        if (w.kind == "editor") {
            int y = w.y;
            if (!w.label.empty()) {
                label(w.label, w.x, y, w.w, false, textDim_);
                y += kLabel;
            }
            control(w.type, w.tag,
                    "@=Editor, width=" + std::to_string(w.w) + ", height=" + std::to_string(w.h) + (params.empty() ? std::string() : ", marginTop=22") +
                        // Room for the first time label of the envelope ruler.
                        (w.type.find("EnvDisplayer") != std::string::npos ? ", marginLeft=16" : "") +
                        ", namesMenuWidth=" + std::to_string(std::min(w.w - 12, 200)) + ", scrollbarPosition=" + std::to_string(w.h - 8) +
                        at(w.x, y) + extra(w),
                    params);
            return true;
        }
        if (w.kind == "list") {
            const int h = w.rows * 16 + 4;
            const std::string background = field(w.w, h);
            control(w.type, w.tag,
                    "@=List, width=" + std::to_string(w.w) + ", height=" + std::to_string(h) + ", nitems=" + std::to_string(w.rows) +
                        ", vspace=2, scrollbarPosition=" + std::to_string(w.w - 10) + ", background=" + background + at(w.x, w.y) + extra(w),
                    params);
            return true;
        }
        if (w.kind == "tabs") {
            return tabs(w, error);
        }
        error = "layout line " + std::to_string(w.line) + ": " + w.kind + " is not handled";
        return false;
    }

    bool tabs(const Widget& w, std::string& error)
    {
        std::vector<std::string> names;
        std::stringstream split(w.label);
        for (std::string name; std::getline(split, name, '|');) {
            names.push_back(name);
        }
        std::vector<int> lamps;
        std::stringstream lampList(option(w, "lamps"));
        for (std::string n; std::getline(lampList, n, ';');) {
            lamps.push_back(std::stoi(n));
        }
        const int n = static_cast<int>(names.size());
        const int tabW = w.w / n;
        const int lamp = look_.number("lampSize");
        const int lampX = 6, lampY = (w.h - lamp) / 2;
        for (const std::string& name : names) {
            if (!fits(w, name, tabW - lampX - lamp - 6, error)) {
                return false;
            }
        }
        const Rgb lampOff = look_.colour("lampOff"), lampOn = look_.colour("lampOn");
        art_.picture("tabs.png", w.w, w.h * 4, [&](cairo_t* cr) {
            for (int band = 0; band < 4; ++band) {
                const bool selected = (band & 2) != 0, lit = (band & 1) != 0;
                for (int k = 0; k < n; ++k) {
                    const double left = k * tabW, top = band * w.h;
                    const bool hasLamp = std::find(lamps.begin(), lamps.end(), k + 1) != lamps.end();
                    fillRect(cr, left, top, tabW, w.h, selected ? panel_ : ground_);
                    if (selected) {
                        fillRect(cr, left, top + w.h - 3, tabW, 3, accent_);
                    }
                    fillRect(cr, left + tabW - 1, top + 6, 1, w.h - 12, panelEdge_);
                    double textLeft = left + lampX + lamp + 4;
                    if (hasLamp) {
                        setColour(cr, lit ? lampOn : lampOff);
                        cairo_arc(cr, left + lampX + lamp / 2.0, top + lampY + lamp / 2.0, lamp / 2.0, 0, 2 * M_PI);
                        cairo_fill(cr);
                    }
                    art_.text(cr, names[static_cast<std::size_t>(k)], textLeft, top + (w.h - line_) / 2.0, tabW - (textLeft - left) - 2,
                              selected ? text_ : textDim_);
                }
            }
        });
        std::string attributes = "ntabs=" + std::to_string(n) + ", width=" + std::to_string(w.w) + ", height=" + std::to_string(w.h) +
                                 ", tabsWidth=" + std::to_string(tabW) + ", tabsHeight=" + std::to_string(w.h) + ", ledX=" +
                                 std::to_string(lampX) + ", ledY=" + std::to_string(lampY) + ", ledWidth=" + std::to_string(lamp) +
                                 ", ledHeight=" + std::to_string(lamp) + ", background=tabs.png";
        for (int k = 1; k <= n; ++k) {
            attributes += ", x" + std::to_string(k) + "=" + std::to_string((k - 1) * tabW) + ", y" + std::to_string(k) + "=0";
        }
        control("Tabs", "10000", attributes + at(w.x, w.y));
        return true;
    }

    bool writePage(const Page& page, std::string& error)
    {
        page_ = &page;
        count_ = 0;
        sections_.clear();
        labels_.clear();
        // The widgets come first: they collect the sections and labels the background shows.
        std::ostringstream items;
        std::swap(items, ini_);
        for (const Widget& w : page.widgets) {
            if (!widget(w, error)) {
                return false;
            }
        }
        std::swap(items, ini_);
        // Pages that look alike (the six oscillators, the two filters) share one background, so
        // the editor decodes it once.
        std::string signature = std::to_string(page.w) + "x" + std::to_string(page.h) + page.title;
        for (const Widget& s : sections_) {
            signature += "|" + s.label + std::to_string(s.x) + "," + std::to_string(s.y) + "," + std::to_string(s.w) + "," + std::to_string(s.h);
        }
        for (const Label& l : labels_) {
            signature += "|" + l.text + std::to_string(l.x) + "," + std::to_string(l.y) + "," + std::to_string(l.width) + l.colour.hex;
        }
        auto known = backgrounds_.find(signature);
        const bool drawn = known != backgrounds_.end();
        const std::string background = drawn ? known->second : page.name + ".png";
        backgrounds_.emplace(signature, background);
        ini_ << page.name << ": x=" << page.x << ", y=" << page.y << ", width=" << page.w << ", height=" << page.h
             << ", background=" << background << "\n";
        ini_ << items.str();
        dat_ << "ContainerPage " << page.name << "(0) {\n" << lines_.str() << "}\n";
        lines_.str({});
        if (drawn) {
            return true;
        }
        const bool panelPage = !page.title.empty();
        art_.picture(background, page.w, page.h, [&](cairo_t* cr) {
            fillRect(cr, 0, 0, page.w, page.h, panelPage ? panel_ : ground_);
            cairo_set_line_width(cr, 1);
            if (panelPage) {
                setColour(cr, accent_);
                cairo_rectangle(cr, 0.5, 0.5, page.w - 1, page.h - 1);
                cairo_stroke(cr);
                art_.text(cr, upper(page.title), 16, 8, page.w - 32, title_, true);
            }
            for (const Widget& s : sections_) {
                setColour(cr, panel_);
                roundedRect(cr, s.x + 0.5, s.y + 0.5, s.w - 1, s.h - 1, 4);
                cairo_fill_preserve(cr);
                setColour(cr, panelEdge_);
                cairo_stroke(cr);
                art_.text(cr, upper(s.label), s.x + 8, s.y + 5, s.w - 16, title_, true);
            }
            for (const Label& l : labels_) {
                art_.text(cr, l.text, l.x, l.y, l.width, l.colour, false, l.centred ? Artwork::Align::kCentre : Artwork::Align::kLeft);
            }
        });
        return true;
    }

    static std::string upper(std::string s)
    {
        for (char& c : s) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return s;
    }

    struct Label {
        std::string text;
        int x, y, width;
        bool centred;
        Rgb colour;
    };

    const Look& look_;
    const Layout& layout_;
    std::string folder_;
    Artwork art_;
    std::ostringstream ini_, dat_, lines_;
    std::map<std::string, std::string> backgrounds_;  // signature → file
    const Page* page_ = nullptr;
    int count_ = 0;
    std::vector<Widget> sections_;
    std::vector<Label> labels_;
    Rgb ground_, panel_, panelEdge_, field_, fieldEdge_, text_, textDim_, title_, accent_, accentText_, knobBody_, mid_;
    int line_ = 14, unit_ = 8, knob_ = 32, buttonHeight_ = 16, sliderHeight_ = 80;
};

}  // namespace

bool writeSkin(const Look& look, const Layout& layout, const std::string& folder, std::string& error)
{
    return Writer(look, layout, folder).run(error);
}

}  // namespace skin_content
