// ISAAC generation and the runtime's seeding.
#include "text/random.h"

RandomState g_random_state;

namespace {

constexpr uint32_t kGoldenRatio = 0x9e3779b9u;
constexpr int32_t kHalf = kRandomStateWords / 2;

// ISAAC's eight-word mix.
void Mix(uint32_t (&w)[8]) {
    uint32_t& a = w[0];
    uint32_t& b = w[1];
    uint32_t& c = w[2];
    uint32_t& d = w[3];
    uint32_t& e = w[4];
    uint32_t& f = w[5];
    uint32_t& g = w[6];
    uint32_t& h = w[7];
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}

// One step of the generation: memory word i is replaced and result i written.
template <int Shift>
inline void Step(uint32_t* memory, uint32_t* results, int32_t i, int32_t other, uint32_t& a, uint32_t& b) {
    const uint32_t x = memory[i];
    a = (a ^ (Shift > 0 ? a << Shift : a >> -Shift)) + memory[other];
    const uint32_t y = memory[(x >> 2) & 255] + a + b;
    memory[i] = y;
    b = memory[(y >> 10) & 255] + x;
    results[i] = b;
}

}  // namespace

uint32_t IsaacRound(RandomState& state) {
    uint32_t* memory = state.memory;
    uint32_t* results = state.results;
    uint32_t a = state.a;
    state.c += 1;
    uint32_t b = state.b + state.c;
    // First half pairs with the second half and the second with the first; the four shifts take turns.
    for (int32_t i = 0; i < kRandomStateWords; i += 4) {
        const int32_t other = (i + kHalf) & (kRandomStateWords - 1);
        Step<13>(memory, results, i, other, a, b);
        Step<-6>(memory, results, i + 1, other + 1, a, b);
        Step<2>(memory, results, i + 2, other + 2, a, b);
        Step<-16>(memory, results, i + 3, other + 3, a, b);
    }
    state.a = a;
    state.b = b;
    return results[0];
}

uint32_t IsaacRound() { return IsaacRound(g_random_state); }

void SeedRandom(RandomState& state, int32_t seed) {
    state.a = state.b = state.c = 0;
    uint32_t w[8];
    for (uint32_t& word : w) word = kGoldenRatio;
    for (int32_t round = 0; round < 32; ++round) {
        w[0] += static_cast<uint32_t>(seed);
        Mix(w);
    }
    for (int32_t round = 0; round < 4; ++round) Mix(w);
    // The previous generation's results are folded in first, then the memory a second time over.
    for (int32_t i = 0; i < kRandomStateWords; i += 8) {
        for (int32_t k = 0; k < 8; ++k) w[k] += state.results[i + k];
        Mix(w);
        for (int32_t k = 0; k < 8; ++k) state.memory[i + k] = w[k];
    }
    for (int32_t i = 0; i < kRandomStateWords; i += 8) {
        for (int32_t k = 0; k < 8; ++k) w[k] += state.memory[i + k];
        Mix(w);
        for (int32_t k = 0; k < 8; ++k) state.memory[i + k] = w[k];
    }
    IsaacRound(state);
    state.count = kRandomStateWords;
}

void SeedRandom(int32_t seed) { SeedRandom(g_random_state, seed); }

int32_t RandomInt(int32_t n) {
    if (n <= 0) return 0;
    IsaacRound(g_random_state);
    // n + 1 is taken as unsigned, so n = INT32_MAX gives 2^31 instead of overflowing.
    return static_cast<int32_t>(g_random_state.results[0] % (static_cast<uint32_t>(n) + 1u));
}
