// Small fixed-size settings of a program:
// - IntegerObject: one int32 (stored as is): a filter's type id, an effect slot's type id, the
//   preset-library category (-1 none). Programs store type ids, never menu positions.
// - ProductBusObject: the up to three oscillators (0–5, −1 none) multiplied on a product bus;
//   three int32, anything else read as −1.
// - FixedPitchObject: per oscillator the fixed-pitch switch, frequency (Hz) and key; six records of
//   int32 switch, float frequency, int32 key. Frequencies are kept within 0–100000 Hz (non-finite
//   becomes 440), keys within 0–127.
#pragma once

#include "params/patch_object.h"

#include <array>
#include <cstdint>

namespace pelko {

class IntegerObject final : public PatchObject {
public:
    explicit IntegerObject(std::int32_t initial = 0) : value_(initial) {}

    std::int32_t value() const { return value_; }
    void setValue(std::int32_t value) { value_ = value; }

    std::size_t storedSize(int) const override { return 4; }
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override { out.putInt32(value_); }
    bool read(ByteReader& in, int version) override;
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<IntegerObject>(*this); }

private:
    std::int32_t value_;
};

class ProductBusObject final : public PatchObject {
public:
    static constexpr int kInputs = 3;

    ProductBusObject() { oscillators_.fill(-1); }

    // Oscillator of input i (0–2): 0–5, or −1 for none.
    int oscillator(int input) const { return oscillators_[static_cast<std::size_t>(input)]; }
    void setOscillator(int input, int oscillator);
    bool empty() const { return oscillators_[0] < 0 && oscillators_[1] < 0 && oscillators_[2] < 0; }

    std::size_t storedSize(int) const override { return 4 * kInputs; }
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;  // all or nothing
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<ProductBusObject>(*this); }

private:
    std::array<std::int32_t, kInputs> oscillators_{};
};

class FixedPitchObject final : public PatchObject {
public:
    static constexpr int kOscillators = 6;
    static constexpr float kDefaultFrequency = 440.0f;
    static constexpr int kDefaultKey = 69;

    struct Setting {
        bool on = false;
        float frequency = kDefaultFrequency;  // Hz
        int key = kDefaultKey;                // the key whose zone is played
        bool operator==(const Setting&) const = default;
    };

    const Setting& setting(int oscillator) const { return settings_[static_cast<std::size_t>(oscillator)]; }
    void set(int oscillator, const Setting& setting);

    std::size_t storedSize(int) const override { return 12 * kOscillators; }
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;  // all or nothing
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<FixedPitchObject>(*this); }

private:
    std::array<Setting, kOscillators> settings_{};
};

}  // namespace pelko
