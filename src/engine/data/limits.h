#pragma once

#include <cstdint>

namespace qv {

// The most concepts the network algorithms handle.
inline constexpr std::int32_t kMaxConcepts = 181;
// The most items an answer key or an item-concept file may have.
inline constexpr std::int32_t kMaxItems = 10000;

}  // namespace qv
