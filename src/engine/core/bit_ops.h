#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace qv {

// Set bits of a word: one instruction in a QV_KERNEL clone that has POPCNT.
inline int countBits(std::uint64_t x) {
    return std::popcount(x);
}

// Bit v set when cells[v] is non-zero, for v < count <= 64; eight cells at a
// time on little-endian targets.
inline std::uint64_t nonZeroBits(const std::uint8_t* cells, int count) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F, kHigh = 0x8080808080808080;
    constexpr std::uint64_t kGather = 0x0102040810204080;  // bit 8m -> bit 56 + m
    std::uint64_t bits = 0;
    int v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; v + 8 <= count; v += 8) {
            std::uint64_t w;
            std::memcpy(&w, cells + v, sizeof w);
            const std::uint64_t nonZero = (((w & kLow7) + kLow7) | w) & kHigh;
            bits |= (((nonZero >> 7) * kGather) >> 56) << v;
        }
    }
    for (; v < count; ++v)
        bits |= std::uint64_t{cells[v] != 0} << v;
    return bits;
}

// Bits first .. count-1 set (0 <= first, count <= 64).
inline std::uint64_t bitRange(int first, int count) {
    const std::uint64_t upTo = count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    const std::uint64_t below = first >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << first) - 1;
    return upTo & ~below;
}

}  // namespace qv
