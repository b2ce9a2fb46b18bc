// An oscillator's wave selection: the wave's name (up to 63 characters, e.g. "Single Cycle\Sine",
// "Off", "User-Defined\User1") and the oscillator's mute switch. Stored as 64 raw bytes; while the
// oscillator is muted the bytes are "*" followed by the first 63 bytes of the name, and a leading
// "*" read back sets the switch. The text form is the name, with the leading "*" when muted.
#pragma once

#include "params/text_object.h"

namespace pelko {

class WaveNameObject final : public TextObject {
public:
    static constexpr std::size_t kCapacity = 64;

    explicit WaveNameObject(std::string_view name = "Off") : TextObject(kCapacity, name) {}

    bool muted() const { return muted_; }
    void setMuted(bool muted) { muted_ = muted; }
    // Whether a stored name names a wave: anything but "" and "Off".
    static bool namesWave(std::string_view name) { return !name.empty() && name != "Off"; }
    // Whether the oscillator plays: a name that names a wave, not muted.
    bool selectsWave() const { return !muted_ && namesWave(text()); }

    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;
    std::string toText() const override;
    bool fromText(std::string_view text, std::size_t byteCount, int version) override;
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<WaveNameObject>(*this); }

private:
    bool muted_ = false;
};

}  // namespace pelko
