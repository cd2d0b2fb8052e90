#include "scene/motes.h"

#include "scene/random.h"

Mote motes[MOTE_CAPACITY];

namespace {
// Eight draws per mote, in this order: z, y, x, angle, one unused, blue, green, red.
bool fillMotes() {
    for (Mote& mote : motes) {
        const float z = randomRange(-30.0f, 30.0f);
        const float y = randomRange(-50.0f, 50.0f);
        const float x = randomRange(-30.0f, 30.0f);
        mote.basePosition = {x, y, z};
        mote.angle = randomRange(0.0f, TWO_PI_F);
        randomRange(0.0f, 1.0f);
        const float blue = randomRange(0.7f, 1.0f);
        const float green = randomRange(0.3f, 1.0f);
        const float red = randomRange(0.5f, 1.0f);
        mote.color = {red, green, blue, 1.0f};
    }
    return true;
}

// Runs during static initialisation, before main and before anything else draws.
[[maybe_unused]] const bool motesFilled = fillMotes();
}  // namespace
