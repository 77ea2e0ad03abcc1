#pragma once

#include <cstdint>

namespace qv {

// The defined range of the DC method and of GTD, which count the n (n - 1)
// ordered pairs of concepts in 16 bits: 181 x 180 fits, 182 x 181 does not.
// The code here counts wider; the bound is the methods' definition, not a
// limit of their implementation.
inline constexpr std::int32_t kMaxDcConcepts = 181;
// Concepts of a class or a matrix file: a class is compared by GTD and a
// matrix file may go to DC, so both stay within that defined range.
inline constexpr std::int32_t kMaxConcepts = kMaxDcConcepts;
// Concepts of a matrix file for PFNET, whose fast cases take n^2 log n
// steps; a matrix of 5000 is 200 MB in memory.
inline constexpr std::int32_t kMaxPfnetConcepts = 5000;
// Cell steps allowed to PFNET with q below n - 1, which takes up to 2 log2 q
// products of n^3 steps each: about a minute of one core.
inline constexpr std::int64_t kMaxPfnetBoundedSteps = 100'000'000'000;
// Concept counts handed to the other network algorithms are 16-bit.
inline constexpr std::int32_t kMaxNetworkConcepts = 32767;
// Items of an answer key or an item-concept file.
inline constexpr std::int32_t kMaxItems = 10000;

// The largest file read whole: a class of a million students takes about
// 60 MB, so this leaves room while refusing what would exhaust the memory.
inline constexpr std::int64_t kMaxInputBytes = std::int64_t{512} << 20;

// The progress values of long work run from 0 to this.
inline constexpr int kProgressMax = 1000;

}  // namespace qv
