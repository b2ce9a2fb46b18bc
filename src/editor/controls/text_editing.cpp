#include "editor/controls/text_editing.h"

#include "editor/skin/skin_resources.h"
#include "editor/toolkit/container.h"

namespace pelko {

namespace {

// The text editor with the watcher's hooks on its keys.
class WatchedTextEditor final : public TextEditor {
public:
    WatchedTextEditor(const Rect& rect, ControlListener* listener, std::string text, TextEditing::Watch watch)
        : TextEditor(rect, listener, -1, std::move(text)), watch_(std::move(watch))
    {
    }

    int keyDown(int key) override
    {
        // Return and Escape end the edit, and the watcher may end it too, which can release the
        // last reference to this editor: keep it alive until the call returns.
        const Ref<TextEditor> self = Ref<TextEditor>::share(this);
        if (key == kKeyEscape && watch_.escaped && editing()) {
            watch_.escaped();
            return 1;
        }
        const std::string before = text();
        const int handled = TextEditor::keyDown(key);
        if (watch_.typed && editing() && text() != before) {
            watch_.typed(text());
        }
        return handled;
    }

protected:
    ~WatchedTextEditor() override = default;

private:
    TextEditing::Watch watch_;
};

}  // namespace

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

bool TextEditing::start(View& owner, SkinAttributes& a, const std::string& item, const std::string& text, Done done,
                        const Rect* area, Watch watch)
{
    cancel();
    Container* parent = owner.parent();
    if (parent == nullptr) {
        return false;
    }
    Rect over = area != nullptr ? *area : owner.rect();
    int width = a.integer(item, "width");
    int height = a.integer(item, "height");
    Rect r = Rect::ofSize(over.left, over.top, width > 0 ? width : over.width(), height > 0 ? height : over.height());
    Colour foreground = colours::kBlack;
    Colour background = colours::kWhite;
    Colour border = colours::kBlack;
    a.colour(item, "foregroundColor", foreground);
    a.colour(item, "backgroundColor", background);
    a.colour(item, "borderColor", border);

    editor_ = Ref<TextEditor>::adopt(new WatchedTextEditor(r, this, text, std::move(watch)));
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
