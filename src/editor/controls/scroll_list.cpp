#include "editor/controls/scroll_list.h"

#include "editor/toolkit/draw_context.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pelko {

void ScrollList::configure(SkinAttributes& a, const std::string& item)
{
    LabelControl::configure(a, item);
    rows_ = std::max(a.integer(item, "nitems"), 0);
    spacing_ = std::max(a.integer(item, "spacing"), 0);
    evenScroll_ = a.integer(item, "evenScroll") != 0;
    barX_ = a.integer(item, "scrollbarPosition");
    barSpacing_ = std::max(a.integer(item, "scrollbarSpacing"), 0);
    if (a.has(item, "handleWidth")) {
        handleWidth_ = std::max(a.integer(item, "handleWidth"), 1);
    }
    a.colour(item, "scrollbarColor", barColour_);
    a.colour(item, "handleColor", handleColour_);
    scrollTo(0);
}

int ScrollList::maxFirst() const { return std::max(rowCount() - rows_, 0); }

void ScrollList::scrollTo(int first)
{
    int bounded = std::clamp(first, 0, maxFirst());
    if (bounded != first_) {
        first_ = bounded;
        setDirty(true);
    }
}

void ScrollList::scrollBy(int rows)
{
    if (evenScroll_ && rows % 2 != 0) {
        rows += rows > 0 ? 1 : -1;
    }
    scrollTo(first_ + rows);
}

int ScrollList::rowAt(Point where) const
{
    Rect bar = scrollBarArea();
    if (spacing_ <= 0 || !rect_.contains(where) || (!bar.empty() && bar.contains(where))) {
        return -1;
    }
    int visible = (where.v - rect_.top - look_.vspace) / spacing_;
    if (where.v < rect_.top + look_.vspace || visible >= rows_) {
        return -1;
    }
    int row = first_ + visible;
    return row < rowCount() ? row : -1;
}

Rect ScrollList::scrollBarArea() const
{
    if (rowCount() <= rows_) {
        return {};
    }
    return Rect{rect_.left + barX_, rect_.top + barSpacing_, rect_.left + barX_ + handleWidth_, rect_.bottom - barSpacing_};
}

Rect ScrollList::handleArea() const
{
    Rect bar = scrollBarArea();
    if (bar.empty()) {
        return {};
    }
    int count = rowCount();
    int length = std::max(bar.height() * rows_ / std::max(count, 1), 8);
    length = std::min(length, bar.height());
    int top = bar.top + (bar.height() - length) * first_ / std::max(maxFirst(), 1);
    return Rect{bar.left, top, bar.right, top + length};
}

void ScrollList::draw(DrawContext& context)
{
    drawLabel(context);
    int highlighted = highlightedRow();
    Rect bar = scrollBarArea();
    for (int visible = 0; visible < rows_; ++visible) {
        int row = first_ + visible;
        if (row >= rowCount()) {
            break;
        }
        int top = look_.vspace + visible * spacing_;
        if (row == highlighted) {
            context.setFillColour(handleColour_);
            context.fillRect(Rect{rect_.left, rect_.top + top, rect_.right, rect_.top + top + spacing_}.intersection(rect_));
        }
        // Rows end where the scroll bar begins.
        int right = bar.empty() ? rect_.right : std::min(rect_.right, bar.left - 1);
        Rect line{rect_.left + look_.hspace, rect_.top + top, right, std::min(rect_.top + top + spacing_, rect_.bottom)};
        const BitmapFont* font = rowFont(row);
        if (font != nullptr && !line.empty()) {
            drawRow(context, *font, rowText(row), line);
        }
    }
    if (!bar.empty()) {
        context.setFillColour(barColour_);
        context.fillRect(bar);
        context.setFillColour(handleColour_);
        context.fillRect(handleArea());
    }
    setDirty(false);
}

const BitmapFont* ScrollList::rowFont(int) const { return look_.fontFor(disabled()); }

namespace {

// The colour of a font's glyphs: its first pixel below the marker row that is not transparent.
Colour inkOf(const BitmapFont& font)
{
    const Bitmap& strip = font.bitmap();
    const std::uint32_t clear = strip.transparentColour().rgb();
    for (int y = 1; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const std::uint32_t p = strip.pixel(x, y);
            if ((p & 0xFFFFFFu) != clear && (p >> 24) != 0) {
                return Colour{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p), 0};
            }
        }
    }
    return colours::kBlack;
}

void drawUpArrow(DrawContext& context, const Rect& box)
{
    const int middle = box.left + box.width() / 2;
    const Point head[] = {{middle, box.top}, {box.right - 1, box.top + box.height() / 2}, {box.left, box.top + box.height() / 2}};
    context.polygon(head);
    context.fillRect(Rect{middle - 1, box.top + box.height() / 2, middle + 1, box.bottom});
}

void drawFolder(DrawContext& context, const Rect& box)
{
    const int tab = std::max(box.height() / 4, 1);
    context.fillRect(Rect{box.left, box.top, box.left + box.width() / 2, box.top + tab + 1});
    context.fillRect(Rect{box.left, box.top + tab, box.right, box.bottom});
}

}  // namespace

void ScrollList::drawRow(DrawContext& context, const BitmapFont& font, std::string_view text, const Rect& line) const
{
    const bool up = !text.empty() && text[0] == '\x81';
    // 0x01, the digits of the count, 0x82.
    const std::size_t folderMark = text.find('\x82');
    const bool folder = !text.empty() && text[0] == '\x01' && folderMark != std::string_view::npos && folderMark > 1 &&
                        text.substr(1, folderMark - 1).find_first_not_of("0123456789") == std::string_view::npos;
    if (!up && !folder) {
        font.draw(context, fittingText(font, text, line.width()), line);
        return;
    }
    // The symbol is a square as high as the glyphs, centred on the text line.
    const int side = std::max(std::min(font.height(), line.height()) - 3, 5);
    const Rect box = Rect::ofSize(line.left, line.top + (std::min(font.height(), line.height()) - side) / 2, side, side);
    const Colour ink = inkOf(font);
    context.setFillColour(ink);
    context.setPenColour(ink);
    Rect rest{box.right + 3, line.top, line.right, line.bottom};
    if (up) {
        drawUpArrow(context, box);
        text.remove_prefix(1);
    } else {
        drawFolder(context, box);
        std::string count(text.substr(1, folderMark - 1));
        count.erase(0, std::min(count.find_first_not_of('0'), count.size() - 1));
        const int width = font.textWidth(count);
        if (width + 4 < rest.width()) {
            font.draw(context, count, Rect{rest.right - width, line.top, rest.right, line.bottom});
            rest.right -= width + 4;
        }
        text.remove_prefix(folderMark + 1);
    }
    if (!rest.empty()) {
        font.draw(context, fittingText(font, text, rest.width()), rest);
    }
}

void ScrollList::scrollToHandle(int y)
{
    Rect bar = scrollBarArea();
    Rect handle = handleArea();
    int free = bar.height() - handle.height();
    if (free <= 0) {
        return;
    }
    int top = std::clamp(y - grab_ - bar.top, 0, free);
    scrollTo(static_cast<int>(std::lround(static_cast<double>(top) * maxFirst() / free)));
}

MouseResponse ScrollList::mouse(DrawContext& context, const MouseEvent& event)
{
    Point origin = parentOrigin();
    Point inFrame{event.where.h + origin.h, event.where.v + origin.v};
    Rect bar = scrollBarArea();
    if (!bar.empty() && bar.contains(event.where) && (event.buttons & kMouseLeft) != 0) {
        Rect handle = handleArea();
        grab_ = handle.contains(event.where) ? event.where.v - handle.top : handle.height() / 2;
        press_ = Press::kBar;
        scrollToHandle(event.where.v);
        draw(context);
        return MouseResponse::kTrack;
    }
    int row = rowAt(event.where);
    if (row < 0) {
        return MouseResponse::kHandled;
    }
    if ((event.buttons & kMouseRight) != 0 && (event.buttons & kMouseLeft) == 0) {
        rowMenu(row, inFrame);
        return MouseResponse::kHandled;
    }
    if ((event.buttons & kMouseLeft) == 0) {
        return MouseResponse::kNotHandled;
    }
    press_ = Press::kRow;
    pressedRow_ = row;
    pressedAt_ = event.where;
    dragging_ = false;
    return MouseResponse::kTrack;
}

void ScrollList::mouseMoved(DrawContext& context, const MouseEvent& event)
{
    if (press_ == Press::kBar) {
        scrollToHandle(event.where.v);
        draw(context);
        return;
    }
    if (press_ == Press::kRow && !dragging_ &&
        std::abs(event.where.h - pressedAt_.h) + std::abs(event.where.v - pressedAt_.v) > kDragDistance) {
        dragging_ = true;
        rowDragStarted(pressedRow_);
    }
}

void ScrollList::mouseReleased(DrawContext& context, const MouseEvent& event)
{
    Press press = std::exchange(press_, Press::kNone);
    if (press == Press::kBar) {
        scrollToHandle(event.where.v);
        draw(context);
        return;
    }
    if (press != Press::kRow) {
        return;
    }
    if (dragging_) {
        Point origin = parentOrigin();
        rowDropped(pressedRow_, Point{event.where.h + origin.h, event.where.v + origin.v});
    } else {
        rowSelected(pressedRow_);
    }
    dragging_ = false;
    setDirty(true);
    draw(context);
}

bool ScrollList::wheel(DrawContext* context, Point, float distance, int)
{
    int before = first_;
    scrollBy(-static_cast<int>(static_cast<float>(kWheelRows) * distance));
    if (first_ != before) {
        redraw(context);
    }
    return true;
}

// ---- the information list -----------------------------------------------------------------------

std::vector<std::string> informationLines(const EditorServices& services)
{
    std::vector<std::string> lines = {
        "Pelko 2 polyphonic synthesizer",
        "------------------------------",
        "32 voices, six oscillators each",
        "Wavetable and additive waves",
        "FM matrix, waveshapers, ring mod",
        "Two filters per voice",
        "Two effect slots, 18 effects",
        "16-step sequencer, tuning scales",
        "Sound, code and skin by the",
        "Pelko 2 team. Thanks to all",
        "who tested it and shared sounds.",
        "",
        "Included waveforms",
    };
    for (const EditorServices::ArchiveSummary& archive : services.waveArchives()) {
        lines.push_back(archive.name + ": " + std::to_string(archive.waves) + " waveforms");
    }
    lines.push_back("External waves: " + std::to_string(services.externalWaves()) + " waveforms");
    lines.push_back("Number of presets in database: " + std::to_string(services.presetCount()));
    return lines;
}

void InfoScrollList::configure(SkinAttributes& attributes, const std::string& item)
{
    if (services_ != nullptr) {
        lines_ = informationLines(*services_);
    }
    ScrollList::configure(attributes, item);
}

std::string InfoScrollList::rowText(int row) const
{
    return row >= 0 && row < rowCount() ? lines_[static_cast<std::size_t>(row)] : std::string();
}

}  // namespace pelko
