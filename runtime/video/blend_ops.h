// The blend arithmetic of the pixel writers as inline operations, so that loops over many pixels (filled
// rectangles, blits) can apply the current blend without a call per pixel. The writers themselves are
// built from the same operations, so the results are identical to the bit.
#pragma once

#include <cstdint>

namespace blend {

constexpr uint32_t kRedMask = 0xF800;
constexpr uint32_t kGreenMask = 0x07E0;
constexpr uint32_t kBlueMask = 0x001F;

// Channels are taken in place (not shifted down) and multiplied on 32-bit unsigned values, so the masked
// channels never spill into one another before masking.
inline uint32_t AddChannel(uint32_t d, uint32_t s, uint32_t amount, uint32_t mask) {
    const uint32_t sum = (d & mask) + (((s & mask) * amount) >> 8);
    return sum > mask ? mask : (sum & mask);
}

inline uint32_t MixChannel(uint32_t d, uint32_t s, uint32_t k, uint32_t mask) {
    return ((((s & mask) * k) >> 8) + (((d & mask) * (256 - k)) >> 8)) & mask;
}

// d + (s * amount) >> 8 per channel, saturating; amount 1..255.
inline uint16_t Add(uint16_t d, uint16_t s, uint32_t amount) {
    return static_cast<uint16_t>(AddChannel(d, s, amount, kRedMask) | AddChannel(d, s, amount, kGreenMask) |
                                 AddChannel(d, s, amount, kBlueMask));
}

// (s * k) >> 8 + (d * (256 - k)) >> 8 per channel; k 1..255.
inline uint16_t Mix(uint16_t d, uint16_t s, uint32_t k) {
    return static_cast<uint16_t>(MixChannel(d, s, k, kRedMask) | MixChannel(d, s, k, kGreenMask) |
                                 MixChannel(d, s, k, kBlueMask));
}

}  // namespace blend
