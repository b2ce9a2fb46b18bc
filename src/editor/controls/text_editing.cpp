#include "editor/controls/text_editing.h"

#include "editor/skin/skin_resources.h"
#include "editor/toolkit/container.h"

namespace pelko {

TextEditing::~TextEditing() { cancel(); }

void TextEditing::cancel()
{
    if (!editor_) {
        return;
    }
    Ref<TextEditor> editor = std::move(editor_);
    editor->setListener(nullptr);
    if (Container* parent = editor->parent()) {
        parent->removeView(editor.get(), true);
    }
}

bool TextEditing::start(View& owner, SkinAttributes& a, const std::string& item, const std::string& text, Done done)
{
    cancel();
    Container* parent = owner.parent();
    if (parent == nullptr) {
        return false;
    }
    Rect over = owner.rect();
    int width = a.integer(item, "width");
    int height = a.integer(item, "height");
    Rect r = Rect::ofSize(over.left, over.top, width > 0 ? width : over.width(), height > 0 ? height : over.height());
    Colour foreground = colours::kBlack;
    Colour background = colours::kWhite;
    Colour border = colours::kBlack;
    a.colour(item, "foregroundColor", foreground);
    a.colour(item, "backgroundColor", background);
    a.colour(item, "borderColor", border);

    editor_ = Ref<TextEditor>::adopt(new TextEditor(r, this, -1, text));
    editor_->setFont(a.systemFont(item, "font"));
    editor_->setColours(foreground, background, border);
    done_ = std::move(done);
    owner_ = &owner;
    // The container takes a reference of its own; this one is kept until the edit is over.
    editor_->addReference();
    parent->addView(editor_.get());
    editor_->startEditing();
    return true;
}

void TextEditing::valueChanged(DrawContext* context, Control& control)
{
    if (editor_.get() != &control) {
        return;
    }
    std::string text = editor_->text();
    bool changed = text != editor_->previousText();
    Done done = std::move(done_);
    cancel();
    if (changed && done) {
        done(context, text);
    }
    // What the editor covered is drawn again.
    if (owner_ != nullptr) {
        owner_->setDirty(true);
        owner_->invalidate();
    }
}

}  // namespace pelko
