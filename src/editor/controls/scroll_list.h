// The scroll list: text rows in the label set's bitmap font, "nitems" rows visible at a pitch of
// "spacing" pixels, and a vertical scroll bar at "scrollbarPosition" (from the list's left), as
// wide as "handleWidth", "scrollbarSpacing" pixels in from the top and bottom, in
// "scrollbarColor" with its handle in "handleColor". "evenScroll" makes every scroll move an even
// number of rows (rounded away from zero).
//
// The wheel scrolls 10 rows per notch (up for a positive distance). A left click on a row selects
// it; a left press dragged more than a few pixels drags the row's item instead; a right press asks
// for the row's menu; a press on the scroll bar moves the handle. Owners override the row hooks.
//
// Row texts may start with marker bytes, drawn as symbols in the ink of the row's font: 0x81 an
// arrow up (the rest follows it), and 0x01, digits, 0x82 a folder followed by the rest,
// with the number drawn without its leading zeros at the right end of the row.
#pragma once

#include "editor/controls/label_controls.h"

namespace pelko {

class ScrollList : public LabelControl {
public:
    static constexpr int kWheelRows = 10;
    static constexpr int kDragDistance = 4;

    ScrollList(ControlListener* listener, int tag) : LabelControl(listener, tag) {}

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    void mouseMoved(DrawContext& context, const MouseEvent& event) override;
    void mouseReleased(DrawContext& context, const MouseEvent& event) override;
    bool wheel(DrawContext* context, Point where, float distance, int buttons) override;

    virtual int rowCount() const = 0;
    virtual std::string rowText(int row) const = 0;
    // The row drawn highlighted, or -1.
    virtual int highlightedRow() const { return -1; }
    // The font a row is drawn in (the label set's by default).
    virtual const BitmapFont* rowFont(int row) const;

    int firstRow() const { return first_; }
    int visibleRows() const { return rows_; }
    // Scrolls by a number of rows (positive: down the list), bounded.
    void scrollBy(int rows);
    void scrollTo(int first);
    // The row under a point (container coordinates), or -1.
    int rowAt(Point where) const;
    Rect scrollBarArea() const;
    Rect handleArea() const;

protected:
    ~ScrollList() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;

    // Owner hooks; where is in frame coordinates.
    virtual void rowSelected(int /*row*/) {}
    virtual void rowDragStarted(int /*row*/) {}
    virtual void rowDropped(int /*row*/, Point /*where*/) {}
    virtual void rowMenu(int /*row*/, Point /*where*/) {}

private:
    int maxFirst() const;
    void drawRow(DrawContext& context, const BitmapFont& font, std::string_view text, const Rect& line) const;
    void scrollToHandle(int y);

    int rows_ = 0;
    int spacing_ = 0;
    bool evenScroll_ = false;
    int barX_ = 0;
    int barSpacing_ = 0;
    int handleWidth_ = 8;
    Colour barColour_ = colours::kGrey;
    Colour handleColour_ = colours::kBlack;
    int first_ = 0;

    enum class Press { kNone, kRow, kBar } press_ = Press::kNone;
    int pressedRow_ = -1;
    Point pressedAt_{};
    bool dragging_ = false;
    int grab_ = 0;
};

// "InfoScrollList": what this synthesizer is, then the wave archives and the preset count.
class InfoScrollList final : public ScrollList {
public:
    InfoScrollList(ControlListener* listener, int tag) : ScrollList(listener, tag) {}

    int rowCount() const override { return static_cast<int>(lines_.size()); }
    std::string rowText(int row) const override;
    const std::vector<std::string>& lines() const { return lines_; }

protected:
    ~InfoScrollList() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;

private:
    std::vector<std::string> lines_;
};

// The information list's lines for these facts.
std::vector<std::string> informationLines(const EditorServices& services);

}  // namespace pelko
