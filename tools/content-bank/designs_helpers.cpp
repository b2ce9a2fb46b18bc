#include "factory_designs.h"

namespace pelko::factory {
namespace {

void layered(Recipe& r, std::initializer_list<Layer> layers, float send, const Adsr& amp, bool throughFilter)
{
    int osc = 0;
    for (const Layer& layer : layers) {
        r.wave(osc, layer.wave).transpose(osc, layer.semitones).detune(osc, layer.cents).amp(osc, amp);
        if (throughFilter) {
            r.raw(osc, 0.0f).toFilter(osc, 0, send);
        } else {
            r.raw(osc, send);
        }
        ++osc;
    }
}

}  // namespace

void filtered(Recipe& r, std::initializer_list<Layer> layers, float send, const Adsr& amp)
{
    layered(r, layers, send, amp, true);
}

void unfiltered(Recipe& r, std::initializer_list<Layer> layers, float send, const Adsr& amp)
{
    layered(r, layers, send, amp, false);
}

}  // namespace pelko::factory
