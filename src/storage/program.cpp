#include "storage/program.h"

#include "params/parameter_table.h"
#include "params/patch_object_table.h"
#include "storage/placeholder_object.h"
#include "storage/text_object.h"
#include "storage/user_controls_assignment.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pelko {

std::unique_ptr<PatchObject> createPatchObject(int index)
{
    if (index >= object::kUserControlText && index < object::kUserControlText + 6) {
        return std::make_unique<TextObject>(24, std::string_view(), 12);
    }
    if (index >= object::kPatchAuthor && index <= object::kPatchComment + 3) {
        return std::make_unique<TextObject>(32);
    }
    switch (index) {
    case object::kUserControlsAssignment: return std::make_unique<UserControlsAssignment>();
    case object::kDisabledFm: return std::make_unique<TextObject>(49, std::string(48, '1'));
    case object::kDisabledOscOut: return std::make_unique<TextObject>(19, std::string(18, '1'));
    case object::kDisabledFltOut: return std::make_unique<TextObject>(7, std::string(6, '1'));
    default: return std::make_unique<PlaceholderObject>();
    }
}

Program::Program()
{
    const auto& table = parameterTable();
    for (int i = 0; i < kParameterCount; ++i) {
        values[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)].defaultValue;
    }
    setName("Default                 ");
    for (int k = 0; k < kPatchObjectCount; ++k) {
        objects_[static_cast<std::size_t>(k)] = createPatchObject(k);
    }
}

Program::Program(const Program& other) : values(other.values)
{
    std::memcpy(name_, other.name_, sizeof name_);
    for (int k = 0; k < kPatchObjectCount; ++k) {
        objects_[static_cast<std::size_t>(k)] = other.objects_[static_cast<std::size_t>(k)]->clone();
    }
}

Program& Program::operator=(const Program& other)
{
    if (this != &other) {
        values = other.values;
        std::memcpy(name_, other.name_, sizeof name_);
        for (int k = 0; k < kPatchObjectCount; ++k) {
            objects_[static_cast<std::size_t>(k)]->copyFrom(*other.objects_[static_cast<std::size_t>(k)]);
        }
    }
    return *this;
}

void Program::setName(std::string_view name)
{
    std::memset(name_, 0, sizeof name_);
    if (name.empty()) {
        return;
    }
    std::size_t n = std::min<std::size_t>(name.size(), kProgramNameLength);
    // The name ends at an embedded terminator.
    const void* zero = std::memchr(name.data(), 0, n);
    if (zero != nullptr) {
        n = static_cast<std::size_t>(static_cast<const char*>(zero) - name.data());
    }
    std::memcpy(name_, name.data(), n);
}

ProgramBank::ProgramBank()
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        char text[32];
        std::snprintf(text, sizeof text, "program %02d", slot);
        programs[static_cast<std::size_t>(slot)].setName(text);
    }
}

std::string_view ProgramBank::name() const { return std::string_view(name_, std::strlen(name_)); }

void ProgramBank::setName(std::string_view name)
{
    std::memset(name_, 0, sizeof name_);
    if (name.empty()) {
        return;
    }
    std::size_t n = std::min<std::size_t>(name.size(), 24);
    const void* zero = std::memchr(name.data(), 0, n);
    if (zero != nullptr) {
        n = static_cast<std::size_t>(static_cast<const char*>(zero) - name.data());
    }
    std::memcpy(name_, name.data(), n);
}

}  // namespace pelko
