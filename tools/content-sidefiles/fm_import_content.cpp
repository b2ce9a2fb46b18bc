#include "fm_import_content.h"

#include <vector>

namespace content_sidefiles {
namespace {

using pelko::EnvelopeSegment;

struct Step {
    float seconds;
    float level;   // the level the segment ends at
    float curve;   // 0.5 straight
};

constexpr float kJump = 0.001f;  // the runtime stretches it to its shortest segment
constexpr float kStraight = 0.5f;
// Quarter periods of a sine: from the centre line the wave leaves fast and arrives slowly.
constexpr float kSineLeavingUp = 0.673f;
constexpr float kSineArrivingDown = 0.639f;
constexpr float kSineLeavingDown = 0.327f;
constexpr float kSineArrivingUp = 0.361f;

std::vector<Step> periodOf(int wave)
{
    switch (wave) {
    case 1:  // saw down
        return {{kJump, 1.0f, kStraight}, {1.0f - kJump, 0.0f, kStraight}};
    case 2:  // saw up
        return {{kJump, 0.0f, kStraight}, {1.0f - kJump, 1.0f, kStraight}};
    case 3:  // square
        return {{kJump, 1.0f, kStraight}, {0.5f - kJump, 1.0f, kStraight}, {kJump, 0.0f, kStraight},
                {0.5f - kJump, 0.0f, kStraight}};
    case 4:  // sine
        return {{0.25f, 1.0f, kSineLeavingUp}, {0.25f, 0.5f, kSineArrivingDown}, {0.25f, 0.0f, kSineLeavingDown},
                {0.25f, 0.5f, kSineArrivingUp}};
    case 5: {  // sample and hold: eight fixed steps that sound random
        static constexpr float levels[8] = {0.82f, 0.24f, 0.67f, 0.05f, 0.93f, 0.38f, 0.56f, 0.12f};
        std::vector<Step> steps;
        for (float level : levels) {
            steps.push_back({kJump, level, kStraight});
            steps.push_back({0.125f - kJump, level, kStraight});
        }
        return steps;
    }
    default:  // triangle
        return {{0.25f, 1.0f, kStraight}, {0.5f, 0.0f, kStraight}, {0.25f, 0.5f, kStraight}};
    }
}

}  // namespace

pelko::EnvelopeObject lfoEnvelope(int wave)
{
    const std::vector<Step> period = periodOf(wave);
    std::vector<EnvelopeSegment> segments;
    auto add = [&](float seconds, float from, float to, float curve) {
        EnvelopeSegment s;
        s.duration = seconds;
        s.startLevel = from;
        s.endLevel = to;
        s.curve = curve;
        segments.push_back(s);
    };
    add(1.0f, 0.5f, 0.5f, kStraight);  // the delay
    float level = 0.5f;
    for (const Step& step : period) {
        add(step.seconds, level, step.level, step.curve);
        level = step.level;
    }
    add(0.05f, level, 0.5f, kStraight);  // release

    pelko::EnvelopeObject envelope(4, 1);
    pelko::EnvelopeShape& shape = envelope.shape();
    shape.assign(static_cast<int>(segments.size()), segments.data());
    shape.setLoop(1, static_cast<int>(period.size()));
    shape.setTimeMode(0);
    for (int i = 0; i < shape.segmentCount(); ++i) {
        shape.setVelocityTimeSensitivity(i, 0.0f);
    }
    shape.setDepth(1.0f);
    return envelope;
}

EffectSettings fmEffect(int slot)
{
    EffectSettings settings;
    if (slot == 0) {
        // "Stereo Ensemble": speeds, amounts, feedback (0.5 = none); dry/wet; free running.
        settings.type.setValue(20);
        settings.values = {0.3f, 0.2f, 0.35f, 0.35f, 0.5f, 0.0f, 0.35f, 0.0f};
    } else {
        // "Stereo Reverb": time, length, damp, diffusion; dry/wet; free running.
        settings.type.setValue(40);
        settings.values = {0.5f, 0.7f, 0.4f, 0.9f, 0.0f, 0.0f, 0.18f, 0.0f};
    }
    return settings;
}

}  // namespace content_sidefiles
