// The two number displays of the pitch panel. Each holds an oscillator index and a number that
// the pitch panel's buttons read back: "CMDisplayer" a ratio with three decimals ("01.500"),
// "PitchBaseDisplayer" a frequency with two decimals and leading zeros to seven characters
// ("0440.00"). The wheel changes the number (coarser over the left of the value area, finer to
// the right, a tenth with shift) and reports it. The frequency display follows the fixed-pitch
// button through its mode: in mode 0 it is drawn disabled.
#pragma once

#include "editor/controls/label_controls.h"

namespace pelko {

// "%.3f", with a "0" in front below 10.
std::string formatRatio(double ratio);
// "%.2f" with "000", "00" or "0" in front below 10, 100 and 1000.
std::string formatFrequency(double hertz);

class NumericPanelDisplay : public ValueDisplay {
public:
    enum class Format { kRatio, kFrequency };

    NumericPanelDisplay(ControlListener* listener, int tag, Format format);

    void setOscillator(int oscillator) { oscillator_ = oscillator; }
    int oscillator() const { return oscillator_; }
    void setNumber(double number);
    double number() const { return number_; }
    void setMode(int mode);
    int mode() const { return mode_; }

    std::string valueText() const override;
    bool disabled() const override { return format_ == Format::kFrequency && mode_ == 0; }
    bool wheel(DrawContext* context, Point where, float distance, int buttons) override;

protected:
    ~NumericPanelDisplay() override = default;

private:
    Format format_;
    int oscillator_ = 0;
    double number_ = 0.0;
    int mode_ = 1;
};

}  // namespace pelko
