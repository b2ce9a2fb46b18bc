// The contract every structured sound setting of a program keeps: envelopes, curves, texts,
// routing switches, tables. An object knows its stored size for a format version, copies itself
// from another object of its class, writes itself in the current format, reads itself for any
// older format, and converts itself to and from one line of text.
#pragma once

#include "params/byte_stream.h"

#include <memory>
#include <string>
#include <string_view>

namespace pelko {

class SynthPlugin;

// The current format version of programs, banks and chunks.
constexpr int kFormatVersion = 21;

class PatchObject {
public:
    virtual ~PatchObject() = default;

    virtual std::size_t storedSize(int version) const = 0;
    // Copies the contents of another object of the same class; objects of another class are ignored.
    virtual void copyFrom(const PatchObject& other) = 0;
    virtual void write(ByteWriter& out) const = 0;
    // Reads the object as stored by the given format version. False when the stream is short or
    // holds something this object cannot take; the object then keeps what was read so far and stays
    // internally consistent.
    virtual bool read(ByteReader& in, int version) = 0;
    // Text form, as written in text program files. The default is the serialized bytes (current
    // version) in hexadecimal, " %02X" per byte, a line break after every 32 bytes and a final one.
    virtual std::string toText() const;
    // Reads the text form; byteCount is the serialized size stated in the file, version the file's
    // format version. The default parses the hexadecimal layout and reads the bytes for that version.
    virtual bool fromText(std::string_view text, std::size_t byteCount, int version);

    virtual std::unique_ptr<PatchObject> clone() const = 0;
    // Lets go of memory kept for growth, for an object that will not change again; what it holds,
    // stores and reads stays the same. Allocates.
    virtual void compact() {}

    // Display name and group, as the editor shows them and the text program format writes them
    // ("Osc1 Level" in "Osc Level"). Static texts; fixed for the object's life.
    const char* displayName() const { return displayName_; }
    const char* groupName() const { return groupName_; }
    void setNames(const char* displayName, const char* groupName)
    {
        displayName_ = displayName != nullptr ? displayName : "";
        groupName_ = groupName != nullptr ? groupName : "";
    }

private:
    const char* displayName_ = "";
    const char* groupName_ = "";
};

}  // namespace pelko
