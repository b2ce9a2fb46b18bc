#include "editor/toolkit/text_editor.h"

#include "editor/toolkit/container.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "editor/toolkit/offscreen.h"
#include "editor/toolkit/system_fonts.h"

#include <algorithm>

namespace pelko {
namespace {
constexpr int kTextMargin = 3;
}  // namespace

TextEditor::TextEditor(const Rect& rect, ControlListener* listener, int tag, std::string text)
    : Control(rect, listener, tag)
{
    setText(std::move(text));
}

void TextEditor::setText(std::string text)
{
    if (text.size() > kMaxLength) {
        text.resize(kMaxLength);
    }
    text_ = std::move(text);
    cursor_ = text_.size();
    anchor_ = 0;
    setDirty(true);
}

void TextEditor::setColours(Colour foreground, Colour background, Colour border)
{
    foreground_ = foreground;
    background_ = background;
    border_ = border;
    setDirty(true);
}

std::pair<std::size_t, std::size_t> TextEditor::selection() const
{
    return {std::min(cursor_, anchor_), std::max(cursor_, anchor_)};
}

void TextEditor::startEditing()
{
    editing_ = true;
    confirmed_ = false;
    previousText_ = text_;
    anchor_ = 0;
    cursor_ = text_.size();
    scroll_ = 0;
    if (frame_ != nullptr) {
        frame_->setFocusView(this);
    }
    setDirty(true);
}

void TextEditor::endEditing(DrawContext* context)
{
    if (!editing_ || frame_ == nullptr || (frame_->focusView() != nullptr && frame_->focusView() != this)) {
        return;
    }
    editing_ = false;
    if (frame_->focusView() == this) {
        frame_->setFocusView(nullptr);
    }
    setDirty(true);
    // The listener may remove this editor from its container: keep it alive until done.
    Ref<TextEditor> keep = Ref<TextEditor>::share(this);
    Container* receiver = parent_ != nullptr ? parent_ : frame_;
    // Removal clears frame_ and parent_, so the frame is held here.
    Frame* frame = frame_;
    if (context != nullptr) {
        notifyListener(context);
    } else {
        DrawContext own(frame->backBuffer(), frame);
        own.setOrigin(parentOrigin());
        notifyListener(&own);
        frame->addDamage(own.damage());
    }
    if (receiver != nullptr) {
        Notification message;
        message.text = kLooseFocusMessage;
        message.data = this;
        receiver->notify(kViewMessageKey, message);
    }
}

void TextEditor::looseFocus(DrawContext* context)
{
    endEditing(context);
}

void TextEditor::eraseSelection()
{
    auto [start, end] = selection();
    text_.erase(start, end - start);
    cursor_ = anchor_ = start;
}

void TextEditor::insert(char c)
{
    eraseSelection();
    if (text_.size() >= kMaxLength) {
        return;
    }
    text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(cursor_), c);
    anchor_ = ++cursor_;
}

int TextEditor::keyDown(int key)
{
    if (!editing_) {
        return -1;
    }
    switch (key) {
    case kKeyReturn:
        confirmed_ = true;
        endEditing(nullptr);
        return 1;
    case kKeyBackspace:
        if (cursor_ == anchor_ && cursor_ > 0) {
            --anchor_;
        }
        eraseSelection();
        break;
    case kKeyDelete:
        if (cursor_ == anchor_ && cursor_ < text_.size()) {
            ++anchor_;
        }
        eraseSelection();
        break;
    case kKeyLeft:
        cursor_ = cursor_ != anchor_ ? selection().first : (cursor_ > 0 ? cursor_ - 1 : 0);
        anchor_ = cursor_;
        break;
    case kKeyRight:
        cursor_ = cursor_ != anchor_ ? selection().second : std::min(text_.size(), cursor_ + 1);
        anchor_ = cursor_;
        break;
    case kKeyHome:
        cursor_ = anchor_ = 0;
        break;
    case kKeyEnd:
        cursor_ = anchor_ = text_.size();
        break;
    default:
        if (key >= 32 && key <= 255 && key != kKeyDelete) {
            insert(static_cast<char>(key));
            break;
        }
        return -1;
    }
    setDirty(true);
    return 1;
}

MouseResponse TextEditor::mouse(DrawContext&, const MouseEvent& event)
{
    if (!editing_) {
        return MouseResponse::kNotHandled;
    }
    // A click inside places the cursor at the nearest character boundary, measured at the scale the
    // text is drawn at (glyph advances are rounded to pixels).
    Offscreen measure(1, 1, colours::kWhite, frame() != nullptr ? frame()->scale() : 1);
    DrawContext context(measure);
    context.setFont(font_, std::min(systemFontSize(font_), rect_.height() - 2));
    int x = event.where.h - rect_.left - kTextMargin + scroll_;
    std::size_t best = 0;
    for (std::size_t i = 0; i <= text_.size(); ++i) {
        if (context.stringWidth(std::string_view(text_).substr(0, i)) <= x) {
            best = i;
        }
    }
    cursor_ = anchor_ = best;
    setDirty(true);
    return MouseResponse::kHandled;
}

void TextEditor::draw(DrawContext& context)
{
    context.setFillColour(background_);
    context.fillRect(rect_);
    context.setPenColour(border_);
    context.setLineWidth(1);
    context.setLineStyle(LineStyle::kSolid);
    context.setDrawMode(DrawMode::kCopy);
    context.frameRect(rect_);
    // The face of the system font, normal weight (row 0 is bold in the table; not here).
    int size = std::max(1, std::min(systemFontSize(font_), rect_.height() - 2));
    context.setFont(font_ == 0 ? 3 : font_, size);
    Rect inner{rect_.left + kTextMargin, rect_.top + 1, rect_.right - kTextMargin, rect_.bottom - 1};
    int cursorX = context.stringWidth(std::string_view(text_).substr(0, cursor_));
    int textWidth = context.stringWidth(text_);
    // Scrolls horizontally so that the cursor stays visible.
    if (cursorX - scroll_ > inner.width() - 1) {
        scroll_ = cursorX - inner.width() + 1;
    } else if (cursorX < scroll_) {
        scroll_ = cursorX;
    }
    int start = inner.left - scroll_;
    if (textWidth < inner.width()) {
        scroll_ = 0;
        start = align_ == kAlignCenter ? inner.left + (inner.width() - textWidth) / 2
              : align_ == kAlignRight  ? inner.right - textWidth
                                       : inner.left;
    }
    bool hadClip = context.hasClip();
    Rect savedClip = context.clip();
    context.setClip(hadClip ? inner.intersection(savedClip) : inner);
    auto [selStart, selEnd] = selection();
    if (editing_ && selEnd > selStart) {
        int x0 = start + context.stringWidth(std::string_view(text_).substr(0, selStart));
        int x1 = start + context.stringWidth(std::string_view(text_).substr(0, selEnd));
        context.setFillColour(foreground_);
        context.fillRect(Rect{x0, inner.top, x1, inner.bottom});
    }
    context.setFontColour(foreground_);
    // The text starts at its own x; drawString's left alignment adds one pixel.
    context.drawString(text_, Rect{start - 1, inner.top, inner.right + textWidth, inner.bottom}, false, kAlignLeft);
    if (editing_ && selEnd > selStart) {
        // The selected part inverted.
        int x0 = start + context.stringWidth(std::string_view(text_).substr(0, selStart));
        int x1 = start + context.stringWidth(std::string_view(text_).substr(0, selEnd));
        context.setClip(Rect{x0, inner.top, x1, inner.bottom}.intersection(inner));
        context.setFontColour(background_);
        context.drawString(text_, Rect{start - 1, inner.top, inner.right + textWidth, inner.bottom}, false, kAlignLeft);
    }
    if (editing_ && selEnd == selStart) {
        context.setPenColour(foreground_);
        context.moveTo(Point{start + cursorX, inner.top + 1});
        context.lineTo(Point{start + cursorX, inner.bottom - 1});
    }
    if (hadClip) {
        context.setClip(savedClip);
    } else {
        context.resetClip();
    }
    setDirty(false);
}

}  // namespace pelko
