// How the factory programs play, measured on the plug-in as it starts with its factory bank:
// velocity changes the level (and, where the instrument does it, the brightness), FM programs
// carry sidebands that follow velocity and time, and every effect slot a program uses changes
// its sound. Each test prints one line per program, so a run doubles as the measurement table.
#include "engine/voice_manager.h"
#include "library/factory_library.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "plugin/synth_plugin.h"
#include "storage/chunk_storage.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kRate = 44100;
constexpr int kBlock = 256;
constexpr int kFmFirst = 26;  // the 48 cells of the FM matrix
constexpr int kFmCells = 48;

struct Stereo {
    std::vector<float> left, right;
};

// What a program is, for the velocity rules: struck and plucked instruments answer velocity
// strongly, sustained pads and organs gently.
enum class Touch { Strong, Gentle, Moderate };

Touch touchOf(const std::string& category)
{
    for (const char* strong : {"Basses", "Keys", "Plucks", "Bells"}) {
        if (category.rfind(strong, 0) == 0) {
            return Touch::Strong;
        }
    }
    for (const char* gentle : {"Pads", "Organs"}) {
        if (category.rfind(gentle, 0) == 0) {
            return Touch::Gentle;
        }
    }
    return Touch::Moderate;
}

// The in-process plug-in started on its factory bank, played one note at a time.
class FactoryPlayer {
public:
    FactoryPlayer()
    {
        // The copied build folder may hold the state of an earlier run; a first start loads the factory bank.
        std::filesystem::remove(pelko::stateFilePath(environment_.installFolder()));
        instance_ = std::make_unique<InProcessPlugin>();
        vst2::AEffect* e = effect();
        if (e == nullptr) {
            return;
        }
        e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        e->dispatcher(e, vst2::effSetBlockSize, 0, kBlock, nullptr, 0.0f);
        e->dispatcher(e, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
    }

    vst2::AEffect* effect() const { return instance_ ? instance_->effect() : nullptr; }
    pelko::SynthPlugin& plugin() const { return *instance_->plugin(); }

    // The slots holding designed programs, named away from the default "program n".
    std::vector<int> designedSlots() const
    {
        std::vector<int> slots;
        for (int i = 0; i < pelko::kProgramCount; ++i) {
            if (plugin().bank().program(i).name().rfind("program ", 0) != 0) {
                slots.push_back(i);
            }
        }
        return slots;
    }

    // Selects the slot, lets `change` edit the edit buffer, plays one key for `heldSeconds` and
    // lets it ring for `tailSeconds`. Effects start from silence every time.
    Stereo playNote(int slot, int key, int velocity, double heldSeconds, double tailSeconds,
                    const std::function<void(pelko::SynthPlugin&)>& change = {})
    {
        vst2::AEffect* e = effect();
        e->dispatcher(e, vst2::effSetProgram, 0, slot, nullptr, 0.0f);
        if (change) {
            change(plugin());
        }
        // A round trip through the serial switch resets both effects.
        const float serial = plugin().editBuffer().values[181];
        plugin().setParameter(181, serial != 0.0f ? 0.0f : 1.0f);
        plugin().setParameter(181, serial);

        const int held = static_cast<int>(heldSeconds * kRate);
        const int total = held + static_cast<int>(tailSeconds * kRate);
        Stereo out;
        out.left.resize(static_cast<std::size_t>(total));
        out.right.resize(static_cast<std::size_t>(total));
        for (int start = 0; start < total; start += kBlock) {
            const int frames = std::min(kBlock, total - start);
            std::vector<vst2::VstMidiEvent> events;
            if (start == 0) {
                events.push_back(host::midiEvent(0, 0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity)));
            }
            if (held >= start && held < start + frames) {
                events.push_back(host::midiEvent(held - start, 0x80, static_cast<std::uint8_t>(key), 0));
            }
            host::MidiEventBlock block(events);
            if (!events.empty()) {
                e->dispatcher(e, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
            }
            float* outputs[2] = {out.left.data() + start, out.right.data() + start};
            e->processReplacing(e, nullptr, outputs, frames);
        }
        // Play on until every voice has ended, so the next program change finds silence and
        // does not wait for it.
        std::vector<float> scratchLeft(kBlock), scratchRight(kBlock);
        float* scratch[2] = {scratchLeft.data(), scratchRight.data()};
        for (int i = 0; i < 60 * kRate / kBlock && plugin().voiceManager() != nullptr &&
                        plugin().voiceManager()->playingVoices().count > 0;
             ++i) {
            e->processReplacing(e, nullptr, scratch, kBlock);
        }
        return out;
    }

    const pelko::Program& program(int slot) const { return plugin().bank().program(slot); }

private:
    PluginEnvironment environment_{true, true};
    std::unique_ptr<InProcessPlugin> instance_;
};

std::string categoryOf(const pelko::Program& program)
{
    // A factory category number is the category's position in the factory tree plus one.
    const int number = program.objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value();
    const auto categories = pelko::factoryCategories();
    return number >= 1 && static_cast<std::size_t>(number) <= categories.size() ? categories[static_cast<std::size_t>(number - 1)].path
                                                                                : "";
}

// The key a program is judged on: basses an octave and a half lower.
int testKey(const std::string& category) { return category.rfind("Basses", 0) == 0 ? 40 : 60; }

double keyHz(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

double stereoRms(const Stereo& s, std::size_t from, std::size_t to)
{
    const double l = rms(s.left, from, to);
    const double r = rms(s.right, from, to);
    return std::sqrt(0.5 * (l * l + r * r));
}

bool usesFm(const pelko::Program& program)
{
    for (int cell = 0; cell < kFmCells; ++cell) {
        if (program.values[static_cast<std::size_t>(kFmFirst + cell)] != 0.0f) {
            return true;
        }
    }
    return false;
}

// Power above 4.5 times the fundamental relative to the power below it, in dB, over a window
// of 2048 samples (46 ms) of the left channel.
double upperPartials(const Stereo& s, std::size_t from, double f0)
{
    const std::vector<double> power = powerSpectrum(s.left, from, 2048);
    const double low = bandPower(power, kRate, 0.5 * f0, 4.5 * f0);
    const double high = bandPower(power, kRate, 4.5 * f0, kRate / 2.0);
    return 10.0 * std::log10((high + 1e-30) / (low + 1e-30));
}

// The strongest harmonic above the fourth relative to the fundamental, in dB.
double strongestUpperHarmonic(const Stereo& s, std::size_t from, double f0)
{
    const double fundamental = amplitudeAt(s.left, f0, kRate, from, 2048);
    double strongest = 0.0;
    for (int h = 5; h * f0 < 0.45 * kRate && h <= 16; ++h) {
        strongest = std::max(strongest, amplitudeAt(s.left, h * f0, kRate, from, 2048));
    }
    return decibels(strongest / fundamental);
}

TEST(FactorySound, VelocityChangesTheLevelOfEveryProgram)
{
    FactoryPlayer player;
    ASSERT_NE(player.effect(), nullptr);
    const std::vector<int> slots = player.designedSlots();
    ASSERT_GE(slots.size(), 16u);
    for (int slot : slots) {
        const pelko::Program& program = player.program(slot);
        const std::string name(program.name());
        const std::string category = categoryOf(program);
        const int key = testKey(category);
        const Stereo soft = player.playNote(slot, key, 30, 1.0, 0.2);
        const Stereo hard = player.playNote(slot, key, 127, 1.0, 0.2);
        const std::size_t held = static_cast<std::size_t>(kRate);
        const double range = decibels(stereoRms(hard, 0, held) / stereoRms(soft, 0, held));
        std::printf("%-20s %-22s velocity 30 -> 127: %+5.1f dB\n", name.c_str(), category.c_str(), range);
        switch (touchOf(category)) {
        case Touch::Strong: EXPECT_GE(range, 12.0) << name; break;
        case Touch::Moderate: EXPECT_GE(range, 6.0) << name; break;
        case Touch::Gentle:
            EXPECT_GE(range, 3.0) << name;
            EXPECT_LT(range, 12.0) << name;
            break;
        }
    }
}

// Every FM program: at velocity 127 its FM adds at least 10 dB of partials above the fourth
// harmonic in the first 50 ms (measured against the same note with the FM matrix cleared), the
// sidebands fall by at least 6 dB relative to the note by one second, and at velocity 30 they
// are at least 6 dB weaker relative to the note than at 127.
TEST(FactorySound, FmProgramsCarrySidebandsThatFollowVelocityAndTime)
{
    FactoryPlayer player;
    ASSERT_NE(player.effect(), nullptr);
    int fmPrograms = 0;
    for (int slot : player.designedSlots()) {
        const pelko::Program& program = player.program(slot);
        if (!usesFm(program)) {
            continue;
        }
        ++fmPrograms;
        const std::string name(program.name());
        const int key = testKey(categoryOf(program));
        const double f0 = keyHz(key);
        const auto dryEffects = [](pelko::SynthPlugin& p) { p.setParameter(182, 1.0f); };  // effects bypassed
        const auto noFm = [](pelko::SynthPlugin& p) {
            p.setParameter(182, 1.0f);
            for (int cell = 0; cell < kFmCells; ++cell) {
                p.setParameter(kFmFirst + cell, 0.0f);
            }
        };
        const Stereo hard = player.playNote(slot, key, 127, 1.2, 0.1, dryEffects);
        const Stereo soft = player.playNote(slot, key, 30, 1.2, 0.1, dryEffects);
        const Stereo plain = player.playNote(slot, key, 127, 1.2, 0.1, noFm);
        constexpr std::size_t kEarly = 220;  // 5 ms: past the first attack
        const std::size_t late = static_cast<std::size_t>(kRate) - 2048;
        const double early127 = upperPartials(hard, kEarly, f0);
        const double late127 = upperPartials(hard, late, f0);
        const double early30 = upperPartials(soft, kEarly, f0);
        const double withoutFm = upperPartials(plain, kEarly, f0);
        std::printf("%-20s above the 4th harmonic: v127 %+6.1f dB (no FM %+6.1f), at 1 s %+6.1f dB, v30 %+6.1f dB; "
                    "strongest harmonic above the 4th v127 %+6.1f dB, v30 %+6.1f dB\n",
                    name.c_str(), early127, withoutFm, late127, early30, strongestUpperHarmonic(hard, kEarly, f0),
                    strongestUpperHarmonic(soft, kEarly, f0));
        EXPECT_GE(early127 - withoutFm, 10.0) << name;
        EXPECT_GE(early127 - late127, 6.0) << name;
        EXPECT_GE(early127 - early30, 6.0) << name;
        if (name == "FM Electric Piano") {
            EXPECT_GE(strongestUpperHarmonic(hard, kEarly, f0), -30.0);
            EXPECT_LT(strongestUpperHarmonic(hard, late, f0), -30.0);
            EXPECT_LT(strongestUpperHarmonic(soft, kEarly, f0), strongestUpperHarmonic(hard, kEarly, f0) - 10.0);
        }
    }
    EXPECT_GE(fmPrograms, 3);
}

// Every effect slot a program uses changes its output: the difference between the slot on and
// the slot switched to "Off" is at least −20 dB relative to the sound without it.
TEST(FactorySound, EveryEffectSlotAProgramUsesIsHeard)
{
    FactoryPlayer player;
    ASSERT_NE(player.effect(), nullptr);
    int slotsUsed = 0;
    for (int slot : player.designedSlots()) {
        const pelko::Program& program = player.program(slot);
        const std::string name(program.name());
        const int key = testKey(categoryOf(program));
        for (int fx = 0; fx < 2; ++fx) {
            const int type = program.objectAs<pelko::IntegerObject>(pelko::object::kFxType + fx).value();
            if (type == 0) {
                continue;
            }
            ++slotsUsed;
            const Stereo on = player.playNote(slot, key, 100, 1.0, 1.0);
            const Stereo off = player.playNote(slot, key, 100, 1.0, 1.0, [fx](pelko::SynthPlugin& p) {
                p.editBuffer().objectAs<pelko::IntegerObject>(pelko::object::kFxType + fx).setValue(0);
                p.applyPatchObject(pelko::object::kFxType + fx);
            });
            Stereo difference = on;
            Stereo side{on.left, on.left};
            for (std::size_t i = 0; i < on.left.size(); ++i) {
                difference.left[i] -= off.left[i];
                difference.right[i] -= off.right[i];
                side.left[i] = on.left[i] - on.right[i];
                side.right[i] = on.left[i] + on.right[i];
            }
            const double change = decibels(stereoRms(difference, 0, 0) / stereoRms(off, 0, 0));
            const double width = decibels(rms(side.left) / rms(side.right));
            std::printf("%-20s FX%d type %2d: on/off difference %+6.1f dB, side/mid %+6.1f dB\n", name.c_str(), fx + 1,
                        type, change, width);
            EXPECT_GE(change, -20.0) << name << " FX" << fx + 1;
            // The voices are mono: a cross delay, chorus or ensemble is there to widen them.
            if (type == 2 || type == 9 || type == 10 || (type >= 20 && type <= 22)) {
                EXPECT_GE(width, -15.0) << name << " FX" << fx + 1 << " leaves the sound nearly mono";
            }
        }
    }
    EXPECT_GE(slotsUsed, 10);
}

}  // namespace
