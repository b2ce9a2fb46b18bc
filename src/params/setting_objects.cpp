#include "params/setting_objects.h"

#include <algorithm>
#include <cmath>

namespace pelko {

void IntegerObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const IntegerObject*>(&other)) {
        value_ = source->value_;
    }
}

bool IntegerObject::read(ByteReader& in, int)
{
    const std::int32_t value = in.int32();
    if (in.failed()) {
        return false;
    }
    value_ = value;
    return true;
}

void ProductBusObject::setOscillator(int input, int oscillator)
{
    if (input >= 0 && input < kInputs) {
        oscillators_[static_cast<std::size_t>(input)] = oscillator >= 0 && oscillator < 6 ? oscillator : -1;
    }
}

void ProductBusObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const ProductBusObject*>(&other)) {
        oscillators_ = source->oscillators_;
    }
}

void ProductBusObject::write(ByteWriter& out) const
{
    for (std::int32_t o : oscillators_) {
        out.putInt32(o);
    }
}

bool ProductBusObject::read(ByteReader& in, int)
{
    std::array<std::int32_t, kInputs> read{};
    for (auto& o : read) {
        o = in.int32();
    }
    if (in.failed()) {
        return false;
    }
    for (int i = 0; i < kInputs; ++i) {
        setOscillator(i, read[static_cast<std::size_t>(i)]);
    }
    return true;
}

void FixedPitchObject::set(int oscillator, const Setting& setting)
{
    if (oscillator < 0 || oscillator >= kOscillators) {
        return;
    }
    Setting s = setting;
    s.frequency = std::isfinite(s.frequency) ? std::clamp(s.frequency, 0.0f, 100000.0f) : kDefaultFrequency;
    s.key = std::clamp(s.key, 0, 127);
    settings_[static_cast<std::size_t>(oscillator)] = s;
}

void FixedPitchObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const FixedPitchObject*>(&other)) {
        settings_ = source->settings_;
    }
}

void FixedPitchObject::write(ByteWriter& out) const
{
    for (const Setting& s : settings_) {
        out.putInt32(s.on ? 1 : 0);
        out.putFloat(s.frequency);
        out.putInt32(s.key);
    }
}

bool FixedPitchObject::read(ByteReader& in, int)
{
    std::array<Setting, kOscillators> read{};
    for (Setting& s : read) {
        s.on = in.int32() != 0;
        s.frequency = in.float32();
        s.key = in.int32();
    }
    if (in.failed()) {
        return false;
    }
    for (int i = 0; i < kOscillators; ++i) {
        set(i, read[static_cast<std::size_t>(i)]);
    }
    return true;
}

}  // namespace pelko
