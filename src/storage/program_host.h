// What the side-file, text-program and system-exclusive commands need from the plug-in: read
// access to the edit buffer and the bank, and the plug-in-level steps that change them. The
// commands never write the plug-in's programs directly, so that the plug-in can take its
// processing lock around each change and run the engine updates that belong to it.
//
// User-interface thread only (the commands show dialogs and messages).
#pragma once

#include "params/program.h"

#include <optional>
#include <string>

namespace pelko {

class ProgramHost {
public:
    virtual ~ProgramHost() = default;

    virtual const Program& editBuffer() const = 0;
    virtual const ProgramBank& bank() const = 0;
    // The current program's bank slot, 0–63.
    virtual int currentProgram() const = 0;
    // The install folder, ending with a separator; none when it is unknown.
    virtual std::optional<std::string> installFolder() const = 0;

    // setParameter of the plug-in: maps the value into the engine and stores what the mapping
    // returns in the edit buffer (the host is not informed).
    virtual void setParameter(int index, float value) = 0;
    // Copies `source` (an object of the same class) into object k of the edit buffer, without
    // running its apply step.
    virtual void storePatchObject(int index, const PatchObject& source) = 0;
    // Runs the apply step of object k of the edit buffer (copies it into the engine).
    virtual void applyPatchObject(int index) = 0;
    // Replaces bank slot `slot` (0–63) with a copy of `program`.
    virtual void storeProgram(int slot, const Program& program) = 0;
    // Selects program `slot` (0–63): the slot is copied into the edit buffer and applied.
    virtual void selectProgram(int slot) = 0;
};

}  // namespace pelko
