#include "editor/controls/value_displays.h"

#include "editor/controls/assignment_session.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/text_object.h"

#include <algorithm>
#include <cstdio>

namespace pelko {

std::string ParameterDisplay::valueText() const
{
    if (services_ == nullptr || !isParameterTag(tag_)) {
        return {};
    }
    if (kind_ == Kind::kParameter && services_->learnMode()) {
        int controller = services_->controllerOfParameter(tag_);
        if (controller < 0 || controller > 127) {
            return "--";
        }
        char text[8];
        std::snprintf(text, sizeof(text), "%02d", controller);
        return text;
    }
    return services_->parameterDisplay(tag_);
}

bool ParameterDisplay::disabled() const
{
    return kind_ == Kind::kEffect && services_ != nullptr && services_->parameterDisplay(tag_).empty();
}

int MatrixDisplay::switchCell(int switchObject, int parameter)
{
    int first = 0;
    int cells = 0;
    switch (switchObject) {
    case object::kDisabledFm:
        first = param::kFmMatrix;
        cells = 48;
        break;
    case object::kDisabledOscOut:
        first = param::kOscToFilter1;
        cells = 18;
        break;
    case object::kDisabledFltOut:
        first = param::kBusOut;
        cells = 6;
        break;
    default:
        return -1;
    }
    int cell = parameter - first;
    return cell >= 0 && cell < cells ? cell : -1;
}

bool MatrixDisplay::disabled() const
{
    if (services_ == nullptr) {
        return false;
    }
    bool off = false;
    for (int index : objects_) {
        int cell = switchCell(index, tag_);
        if (cell < 0) {
            continue;
        }
        services_->readObject(index, [&](const PatchObject& stored) {
            if (auto* switches = dynamic_cast<const TextObject*>(&stored)) {
                std::string_view text = switches->text();
                off = off || (static_cast<std::size_t>(cell) < text.size() && text[static_cast<std::size_t>(cell)] == '0');
            }
        });
    }
    return off;
}

MouseResponse MatrixDisplay::mouse(DrawContext&, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0 || services_ == nullptr) {
        return MouseResponse::kNotHandled;
    }
    const bool switchOn = disabled();
    bool switched = false;
    for (int index : objects_) {
        const int cell = switchCell(index, tag_);
        if (cell < 0) {
            continue;
        }
        switched = services_->editObject(index, [&](PatchObject& stored) {
            if (auto* switches = dynamic_cast<TextObject*>(&stored)) {
                std::string text(switches->text());
                // Cells beyond a short text count as on.
                if (text.size() <= static_cast<std::size_t>(cell)) {
                    text.resize(static_cast<std::size_t>(cell) + 1, '1');
                }
                text[static_cast<std::size_t>(cell)] = switchOn ? '1' : '0';
                switches->setText(text);
            }
        }) || switched;
    }
    if (!switched) {
        return MouseResponse::kNotHandled;
    }
    setDirty(true);
    invalidate();
    return MouseResponse::kHandled;
}

int UserControlTextDisplay::textObject() const
{
    for (int index : objects_) {
        if (index >= object::kUserControlText && index < object::kUserControlText + 6) {
            return index;
        }
    }
    if (tag_ >= param::kUserSlider && tag_ < param::kUserSlider + 6) {
        return object::kUserControlText + (tag_ - param::kUserSlider);
    }
    return -1;
}

std::string UserControlTextDisplay::labelText() const
{
    int index = textObject();
    std::string text;
    if (services_ != nullptr && index >= 0) {
        services_->readObject(index, [&](const PatchObject& stored) {
            if (auto* caption = dynamic_cast<const TextObject*>(&stored)) {
                text = std::string(caption->text());
            }
        });
    }
    if (text.empty()) {
        return ParameterDisplay::labelText();
    }
    return look_.uppercase ? upperCase(std::move(text)) : text;
}

MouseResponse UserControlTextDisplay::mouse(DrawContext&, const MouseEvent& event)
{
    int index = textObject();
    if ((event.buttons & kMouseLeft) == 0 || services_ == nullptr || index < 0) {
        return MouseResponse::kNotHandled;
    }
    std::string current;
    services_->readObject(index, [&](const PatchObject& stored) {
        if (auto* caption = dynamic_cast<const TextObject*>(&stored)) {
            current = std::string(caption->text());
        }
    });
    editing_.start(*this, services_->attributes(), "UserControlTextEditor", current,
                   [this, index](DrawContext*, const std::string& text) {
                       services_->editObject(index, [&](PatchObject& stored) {
                           if (auto* caption = dynamic_cast<TextObject*>(&stored)) {
                               caption->setText(text);
                           }
                       });
                       setDirty(true);
                   });
    return MouseResponse::kHandled;
}

void AssignmentRangeDisplay::configure(SkinAttributes& attributes, const std::string& item)
{
    ValueDisplay::configure(attributes, item);
    row_ = std::clamp(attributes.integer(item, "row"), 0, UserControlsAssignment::kAssignmentsPerSlider - 1);
    high_ = attributes.integer(item, "end") == 1;
    wheelIncrement_ = 0.01f;
}

std::string AssignmentRangeDisplay::valueText() const
{
    const AssignmentSession* session = services_ != nullptr ? AssignmentSession::of(*services_) : nullptr;
    if (session == nullptr) {
        return {};
    }
    UserControlsAssignment::Entry entry = session->assignments().entry(session->slider(), row_);
    if (entry.parameter < 0) {
        return {};
    }
    float v = std::clamp(high_ ? entry.high : entry.low, 0.0f, 1.0f);
    char text[8];
    std::snprintf(text, sizeof(text), "%03d", static_cast<int>(v * 100.0f));
    return text;
}

bool AssignmentRangeDisplay::disabled() const { return valueText().empty(); }

bool AssignmentRangeDisplay::wheel(DrawContext* context, Point where, float distance, int)
{
    AssignmentSession* session = services_ != nullptr ? AssignmentSession::of(*services_) : nullptr;
    if (session == nullptr) {
        return true;
    }
    UserControlsAssignment& list = session->assignments();
    UserControlsAssignment::Entry entry = list.entry(session->slider(), row_);
    if (entry.parameter < 0) {
        return true;
    }
    float& end = high_ ? entry.high : entry.low;
    float changed = std::clamp(end + distance * wheelIncrement_ * wheelScale(where), 0.0f, 1.0f);
    if (changed != end) {
        end = changed;
        list.setRange(session->slider(), row_, entry.low, entry.high);
        setValue(changed);
        notifyListener(context);
        redraw(context);
    }
    return true;
}

void AssignmentRangeDisplay::rebind(int) { setDirty(true); }

void AssignmentRangeDisplay::popupClosed(bool apply)
{
    if (services_ != nullptr) {
        AssignmentSession::close(*services_, apply);
    }
    setDirty(true);
}

}  // namespace pelko
