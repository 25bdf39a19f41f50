// Random numbers: the ISAAC generator (32-bit words, 256-word state), one full generation per number.
//
// Running a whole generation for every number keeps the cost of each the same and needs no bookkeeping of
// which results were handed out. The state is seeded once at start-up from the clock; seeding mixes in the
// results of the generation before it, so a seed repeats its sequence only from the same earlier state (as
// at the start of a program).
#pragma once

#include <cstdint>

constexpr int32_t kRandomStateWords = 256;

// Laid out as ISAAC's own context.
struct RandomState {
    uint32_t count;                        // results left; set to 256 by seeding
    uint32_t results[kRandomStateWords];   // the output of the last generation
    uint32_t memory[kRandomStateWords];    // the internal state
    uint32_t a, b, c;                      // accumulator, last result, generation counter
};

// The one generator; all zero until seeded.
extern RandomState g_random_state;

// One ISAAC generation over the state; returns results[0].
uint32_t IsaacRound(RandomState& state);
uint32_t IsaacRound();
void SeedRandom(RandomState& state, int32_t seed);
void SeedRandom(int32_t seed);
// A number from 0 to n inclusive; 0, without touching the generator, for n of 0 or below.
int32_t RandomInt(int32_t n);
