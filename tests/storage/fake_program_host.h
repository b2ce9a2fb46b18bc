// A program host for the side-file tests: it owns an edit buffer and a bank, stores parameter
// values without mapping, and records every plug-in-level step in order, so that tests can
// check what a command asked of the plug-in. Messages go to a scripted user interface.
#pragma once

#include "platform/user_interface.h"
#include "storage/program_host.h"

#include <memory>
#include <string>
#include <vector>

namespace side_test {

class FakeProgramHost final : public pelko::ProgramHost {
public:
    const pelko::Program& editBuffer() const override { return editBuffer_; }
    const pelko::ProgramBank& bank() const override { return bank_; }
    int currentProgram() const override { return current; }
    std::optional<std::string> installFolder() const override { return folder; }

    void setParameter(int index, float value) override
    {
        steps.push_back("set " + std::to_string(index));
        if (index >= 0 && index < pelko::kParameterCount) editBuffer_.values[static_cast<std::size_t>(index)] = value;
    }
    void storePatchObject(int index, const pelko::PatchObject& source) override
    {
        steps.push_back("store " + std::to_string(index));
        editBuffer_.object(index).copyFrom(source);
    }
    void applyPatchObject(int index) override { steps.push_back("apply " + std::to_string(index)); }
    void storeProgram(int slot, const pelko::Program& program) override
    {
        steps.push_back("program " + std::to_string(slot));
        bank_.editProgram(slot) = program;
    }
    void selectProgram(int slot) override
    {
        steps.push_back("select " + std::to_string(slot));
        current = slot;
        editBuffer_ = bank_.program(slot);
    }

    pelko::Program& edit() { return editBuffer_; }
    pelko::ProgramBank& programs() { return bank_; }
    int count(const std::string& step) const
    {
        int n = 0;
        for (const std::string& s : steps) n += s == step ? 1 : 0;
        return n;
    }

    int current = 0;
    std::optional<std::string> folder;
    std::vector<std::string> steps;

private:
    pelko::Program editBuffer_;
    pelko::ProgramBank bank_;
};

// Installs a scripted user interface for the lifetime of the scope and lists what it showed.
class ShownMessages {
public:
    ShownMessages() : previous_(pelko::setUserInterface(ui_)) {}
    ~ShownMessages() { pelko::setUserInterface(previous_); }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> t;
        for (const auto& m : ui_->messages()) t.push_back(m.text);
        return t;
    }
    pelko::ScriptedUserInterface& ui() { return *ui_; }

private:
    std::shared_ptr<pelko::ScriptedUserInterface> ui_ = std::make_shared<pelko::ScriptedUserInterface>();
    std::shared_ptr<pelko::UserInterface> previous_;
};

}  // namespace side_test
