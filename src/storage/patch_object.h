// The contract every structured sound setting of a program keeps: envelopes, curves, texts,
// routing switches, tables. An object knows its stored size for a format version, copies itself
// from another object of its class, writes itself in the current format, reads itself for any
// older format, and converts itself to and from one line of text.
#pragma once

#include "storage/byte_stream.h"

#include <memory>
#include <string>

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
    virtual std::string toText() const = 0;
    virtual bool fromText(const std::string& line) = 0;

    virtual std::unique_ptr<PatchObject> clone() const = 0;
};

}  // namespace pelko
