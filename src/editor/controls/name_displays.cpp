#include "editor/controls/name_displays.h"

#include "editor/controls/program_menu.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"

namespace pelko {

void openProgramMenu(Frame& frame, EditorServices& services, Point where)
{
    std::vector<std::string> names = services.programNames();
    int current = services.currentProgram();
    std::vector<MenuItem> items;
    items.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        MenuItem item = MenuItem::entry(names[i]);
        item.checked = static_cast<int>(i) == current;
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        return;
    }
    int count = static_cast<int>(items.size());
    EditorServices* target = &services;
    frame.openPopupMenu(std::move(items), where, [target, count](int chosen) {
        if (chosen >= 0 && chosen < count) {
            target->selectProgram(chosen);
        }
    }, current >= 0 && current < count ? current : -1);
}

void NameDisplay::draw(DrawContext& context)
{
    drawLabel(context);
    std::string label = labelText();
    int x = look_.hspace;
    if (const BitmapFont* font = look_.fontFor(disabled()); font != nullptr && !label.empty()) {
        x += font->textWidth(label) + font->charWidth(' ');
    }
    std::string text = name();
    drawText(context, look_.uppercase ? upperCase(std::move(text)) : text, x);
    setDirty(false);
}

void ProgramNameDisplay::setText(std::string text)
{
    text_ = std::move(text);
    setDirty(true);
}

void ProgramNameDisplay::refresh()
{
    if (services_ != nullptr) {
        std::vector<std::string> names = services_->programNames();
        int current = services_->currentProgram();
        if (current >= 0 && static_cast<std::size_t>(current) < names.size()) {
            text_ = names[static_cast<std::size_t>(current)];
        }
    }
    setDirty(true);
}

MouseResponse ProgramNameDisplay::mouse(DrawContext&, const MouseEvent& event)
{
    if ((event.buttons & (kMouseLeft | kMouseRight)) == 0 || services_ == nullptr || frame_ == nullptr) {
        return MouseResponse::kNotHandled;
    }
    Point origin = parentOrigin();
    const Point below{rect_.left + origin.h, rect_.bottom + origin.v};
    if ((event.buttons & kMouseRight) != 0) {
        openProgramMenu(*frame_, *services_, below);
        return MouseResponse::kHandled;
    }
    const int slot = services_->currentProgram();
    Ref<ProgramNameDisplay> self = Ref<ProgramNameDisplay>::share(this);
    openProgramActionsMenu(*frame_, *services_, slot, below, [self, slot] { self->startRename(slot); });
    return MouseResponse::kHandled;
}

void ProgramNameDisplay::startRename(int slot)
{
    if (services_ == nullptr) {
        return;
    }
    editing_.start(*this, services_->attributes(), "BankNameEditor", text_, [this, slot](DrawContext*, const std::string& text) {
        services_->renameProgram(slot, text);
        setDirty(true);
    });
}

std::string TuningScaleDisplay::name() const
{
    std::string text;
    if (services_ != nullptr && boundObject() >= 0) {
        services_->readObject(boundObject(), [&](const PatchObject& stored) {
            if (auto* scale = dynamic_cast<const TuningScaleObject*>(&stored)) {
                text = std::string(scale->scale().name());
            }
        });
    }
    return text;
}

std::string EditableTextDisplay::name() const
{
    std::string text;
    if (services_ != nullptr && boundObject() >= 0) {
        services_->readObject(boundObject(), [&](const PatchObject& stored) {
            if (auto* object = dynamic_cast<const TextObject*>(&stored)) {
                text = std::string(object->text());
            }
        });
    }
    return text;
}

MouseResponse EditableTextDisplay::mouse(DrawContext&, const MouseEvent& event)
{
    int index = boundObject();
    if ((event.buttons & kMouseLeft) == 0 || services_ == nullptr || index < 0) {
        return MouseResponse::kNotHandled;
    }
    editing_.start(*this, services_->attributes(), editorItem_, name(),
                   [this, index](DrawContext* context, const std::string& text) {
                       services_->editObject(index, [&](PatchObject& stored) {
                           if (auto* object = dynamic_cast<TextObject*>(&stored)) {
                               object->setText(text);
                           }
                       });
                       notifyListener(context);
                       setDirty(true);
                   });
    return MouseResponse::kHandled;
}

}  // namespace pelko
