// Programs for storage tests: one with every object changed away from its default, and the byte
// form a program had in an older format version.
#pragma once

#include "params/patch_object_table.h"
#include "params/additive_settings_object.h"
#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/program.h"
#include "storage/program_format.h"
#include "params/setting_objects.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"
#include "params/user_controls_assignment.h"
#include "params/wave_name_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fixtures {

using namespace pelko;

inline std::vector<std::uint8_t> bytesOf(const PatchObject& o)
{
    ByteWriter out;
    o.write(out);
    return out.take();
}

inline std::vector<std::uint8_t> bytesOf(const Program& p)
{
    ByteWriter out;
    writeProgram(out, p);
    return out.take();
}

// Changes object k (and the values) so that no part of the program keeps its default; `seed`
// varies the changes.
inline void changeObject(Program& p, int k, int seed = 0)
{
    PatchObject& o = p.object(k);
    const float f = 0.01f * static_cast<float>((k + seed) % 50);
    if (auto* e = dynamic_cast<EnvelopeObject*>(&o)) {
        EnvelopeShape& s = e->shape();
        s.insertPoint(s.segment(0).duration * 0.5f, 0.3f + f);
        s.setCurve(1, 0.3f);
        s.setLoop(2, 1);
        s.setTimeMode(1);
        s.setReferenceTempo(97.0f);
        s.setVelocityTimeSensitivity(0, 0.75f);
        s.setDepth(0.6f + f);
    } else if (auto* c = dynamic_cast<CurveObject*>(&o)) {
        c->curve().insertPoint(0.4f, 0.2f + f);
        c->curve().setCurve(0, 0.65f);
        c->curve().setFlags(7);
    } else if (auto* w = dynamic_cast<WaveshaperObject*>(&o)) {
        w->curve().insertPoint(0.5f, 0.9f);
        w->curve().setOn(true);
    } else if (auto* n = dynamic_cast<WaveNameObject*>(&o)) {
        n->setText("Analog\\Saw " + std::to_string(k + seed));
        n->setMuted(true);
    } else if (auto* t = dynamic_cast<TextObject*>(&o)) {
        if (t->text().find('1') == 0 && t->text().find_first_not_of('1') == std::string_view::npos) {
            std::string cells(t->text());
            cells[static_cast<std::size_t>(seed) % cells.size()] = '0';
            t->setText(cells);
        } else {
            t->setText("Text " + std::to_string(k + seed));
        }
    } else if (auto* i = dynamic_cast<IntegerObject*>(&o)) {
        i->setValue(13 + k + seed);
    } else if (auto* b = dynamic_cast<ProductBusObject*>(&o)) {
        b->setOscillator(0, 2);
        b->setOscillator(2, 5);
    } else if (auto* u = dynamic_cast<UserControlsAssignment*>(&o)) {
        u->add(0, 26 + seed, 0.1f, 0.9f);
        u->add(5, 111, 1.0f, 0.0f);
    } else if (auto* tu = dynamic_cast<TuningScaleObject*>(&o)) {
        tu->scale().setName("Stretched " + std::to_string(seed));
        tu->scale().setBaseFrequency(9.0f);
        tu->scale().setCents(60, 6010.0f);
    } else if (auto* a = dynamic_cast<AdditiveSettingsObject*>(&o)) {
        a->setLevel(2, 0.5f);
        a->setPhase(2, 0.25f);
    } else if (auto* fp = dynamic_cast<FixedPitchObject*>(&o)) {
        fp->set(3, {true, 123.5f, 40});
    }
}

inline void changeEverything(Program& p, int seed = 0)
{
    p.setName("Changed " + std::to_string(seed));
    for (int i = 0; i < kParameterCount; ++i) {
        p.values[static_cast<std::size_t>(i)] = 0.001f * static_cast<float>((i * 7 + seed) % 997);
    }
    for (int k = 0; k < kPatchObjectCount; ++k) {
        changeObject(p, k, seed);
    }
}

// Object k as format `version` stored it: envelopes without the reference tempo below 14 and
// without the depth below 17, slider captions in 12 bytes below 18.
inline void writeObjectAsVersion(ByteWriter& out, const PatchObject& o, int version)
{
    std::vector<std::uint8_t> bytes = bytesOf(o);
    if (const auto* e = dynamic_cast<const EnvelopeObject*>(&o)) {
        const std::size_t n = static_cast<std::size_t>(e->shape().segmentCount());
        const std::size_t head = 12 + 28 * n + 12;
        out.putBytes(bytes.data(), head);
        if (version >= 14) out.putBytes(bytes.data() + head, 4);
        out.putBytes(bytes.data() + head + 4, 4 * n);
        if (version >= 17) out.putBytes(bytes.data() + head + 4 + 4 * n, 4);
        return;
    }
    if (const auto* t = dynamic_cast<const TextObject*>(&o); t != nullptr && version < 18 && t->storedSize(version) < bytes.size()) {
        // The first capacity − 1 bytes of the text, then a terminator.
        const std::size_t stored = t->storedSize(version);
        out.putBytes(bytes.data(), stored - 1);
        out.putZeros(1);
        return;
    }
    out.putBytes(bytes.data(), bytes.size());
}

inline std::vector<std::uint8_t> storedAsVersion(const Program& p, int version)
{
    ByteWriter out;
    std::vector<std::uint8_t> current = bytesOf(p);
    out.putBytes(current.data(), kStoredProgramNameSize + 4 * kParameterCount);
    for (int k = 0; k < kPatchObjectCount; ++k) {
        out.putInt32(k);
        writeObjectAsVersion(out, p.object(k), version);
    }
    out.putInt32(-1);
    return out.take();
}

inline Program readAsVersion(const std::vector<std::uint8_t>& bytes, int version, bool upgrade = true)
{
    Program p;
    ByteReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(readProgram(in, version, p));
    EXPECT_TRUE(in.atEnd());
    if (upgrade) upgradeProgram(p, version);
    return p;
}

}  // namespace fixtures
