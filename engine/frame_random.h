// The renderer's random generator: a linear congruential generator with
// 15-bit output, reseeded with 1234 at the start of every frame so that each
// element draws the same numbers in every frame of a transition.
#pragma once

#include <cstdint>

namespace glimmer {

constexpr uint32_t frameRandomSeed = 1234u;
constexpr uint32_t frameRandomMultiplier = 214013u;
constexpr uint32_t frameRandomIncrement = 2531011u;

struct FrameRandom {
    uint32_t state = frameRandomSeed;

    int32_t next() {
        state = state * frameRandomMultiplier + frameRandomIncrement;
        return static_cast<int32_t>((state >> 16) & 0x7FFFu);
    }
};

// The generator advanced n steps at once: state * multiplier + increment.
// Lets the renderer compute an element's four draws independently of each
// other instead of as one dependent chain.
struct FrameRandomJump {
    uint32_t multiplier;
    uint32_t increment;
};

constexpr FrameRandomJump frameRandomJump(int steps) {
    FrameRandomJump j{1u, 0u};
    for (int i = 0; i < steps; ++i) {
        j.multiplier = j.multiplier * frameRandomMultiplier;
        j.increment = j.increment * frameRandomMultiplier + frameRandomIncrement;
    }
    return j;
}

// The generator advanced `steps` steps, in as many squarings as the count
// has bits: how a thread that starts at some element far into the walk
// finds the state the one-thread walk would have there.
constexpr FrameRandomJump frameRandomJumpBy(uint64_t steps) {
    FrameRandomJump total{1u, 0u};
    FrameRandomJump power{frameRandomMultiplier, frameRandomIncrement};
    for (; steps != 0; steps >>= 1) {
        if ((steps & 1u) != 0) {
            total.multiplier = total.multiplier * power.multiplier;
            total.increment = total.increment * power.multiplier + power.increment;
        }
        power.increment = power.increment * power.multiplier + power.increment;
        power.multiplier = power.multiplier * power.multiplier;
    }
    return total;
}

// An element's four draws, each taken straight from the state before the
// element: the first draw is one step on, the fourth four steps, which is
// also the state the next element starts from.
constexpr FrameRandomJump elementDraw1 = frameRandomJump(1);
constexpr FrameRandomJump elementDraw2 = frameRandomJump(2);
constexpr FrameRandomJump elementDraw3 = frameRandomJump(3);
constexpr FrameRandomJump elementDraw4 = frameRandomJump(4);

}  // namespace glimmer
