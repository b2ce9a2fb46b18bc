// Waves whose key zones hold different sounds, as a multisampled instrument's do: a keyboard
// split, string sections and choir sections each over their own range. Within a section the
// zones are still at most half an octave wide so that every key stays band-limited but bright.
#include "more_families.h"
#include "recipe_tools.h"

#include "wave/wave_description.h"

namespace content_waves {
namespace {

// The zones of sections ending at the given keys (the last 127): each section is cut into zones
// of step keys counted down from its top, the lowest zone of a section taking what is left; no
// zone ends below key 22 (the lowest notes share a zone, as in the other waves).
std::vector<int> sectionZones(const std::vector<int>& sectionTops, int step)
{
    std::vector<int> keys;
    int low = 0;
    for (int top : sectionTops) {
        std::vector<int> here{top};
        for (int t = top - step; t >= low + step - 1 && t >= 22; t -= step) {
            here.push_back(t);
        }
        keys.insert(keys.end(), here.rbegin(), here.rend());
        low = top + 1;
    }
    return keys;
}

// The section (0, 1, …) a zone belongs to, from the frequency of the zone's middle key.
std::size_t sectionOf(const std::vector<int>& sectionTops, double zoneFrequency)
{
    std::size_t s = 0;
    while (s + 1 < sectionTops.size() && zoneFrequency > pelko::keyFrequency(sectionTops[s] + 0.5)) {
        ++s;
    }
    return s;
}

// A 2048-sample cycle whose partials come from the section of each zone.
WaveRecipe sectioned(const std::string& name, const std::vector<int>& sectionTops,
                     std::function<std::vector<Partial>(std::size_t section, double zoneFrequency)> partials)
{
    WaveRecipe recipe;
    recipe.name = "Multi\\" + name;
    recipe.loopLength = 2048;
    recipe.rootFrequency = 44100.0 / 2048.0;
    recipe.zoneTopKeys = sectionZones(sectionTops, 6);
    recipe.partials = [sectionTops, partials = std::move(partials)](double zoneFrequency) {
        return partials(sectionOf(sectionTops, zoneFrequency), zoneFrequency);
    };
    return recipe;
}

// Harmonics of the zone's pitch with the given amplitude by harmonic number and frequency (Hz),
// phases drawn from the seed.
std::vector<Partial> harmonics(const std::string& seed, double zoneFrequency,
                               const std::function<double(long, double)>& amplitude)
{
    Random random(seed);
    std::vector<Partial> partials;
    for (long h = 1; h < 1024; ++h) {
        partials.push_back({h, amplitude(h, static_cast<double>(h) * zoneFrequency), random.uniform()});
    }
    return partials;
}

}  // namespace

ArchiveRecipe keyZonedWaves()
{
    ArchiveRecipe archive{"Multi.vfs", {}};
    // Up to B2 a dark bass saw, from C3 a hollow pad of odd harmonics.
    archive.waves.push_back(sectioned("Bass Split Pad", {47, 127}, [](std::size_t section, double zf) {
        if (section == 0) {
            return harmonics("bass", zf, [](long h, double f) { return 1.0 / (static_cast<double>(h) * (1.0 + f * f / (900.0 * 900.0))); });
        }
        return harmonics("pad", zf, [](long h, double) { return h % 2 == 1 ? std::pow(static_cast<double>(h), -1.5) : 0.0; });
    }));
    // Basses to E2, cellos to E3, violas to D4, violins above: a bowed source (6 dB an octave)
    // through each instrument's body resonances, fixed in frequency.
    struct Body {
        double low, high, bridge;  // the main air and wood resonances and the bridge hill (Hz)
    };
    static const Body kBodies[] = {{70, 220, 1000}, {110, 300, 1500}, {270, 450, 2000}, {290, 520, 2800}};
    archive.waves.push_back(sectioned("String Sections", {40, 52, 62, 127}, [](std::size_t section, double zf) {
        const Body body = kBodies[section];
        return harmonics("strings " + std::to_string(section), zf, [body](long h, double f) {
            return (0.3 + band(f, body.low, 0.3) + 0.8 * band(f, body.high, 0.4) + 0.6 * band(f, body.bridge, 0.7)) /
                   static_cast<double>(h);
        });
    }));
    // Basses singing "oh" to B2, tenors "ah" to B3, altos "ah" to B4, sopranos "ee" above.
    static const char* const kParts[] = {"Male O", "Male A", "Female A", "Female I"};
    archive.waves.push_back(sectioned("Choir Sections", {47, 59, 71, 127}, [](std::size_t section, double zf) {
        const std::vector<Resonance>& tract = vowelFormants(kParts[section]);
        return harmonics(kParts[section], zf, [&tract](long h, double f) { return sungLevel(tract, h, f); });
    }));
    return archive;
}

}  // namespace content_waves
