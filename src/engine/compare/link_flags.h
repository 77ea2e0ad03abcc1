#pragma once

#include <optional>

#include "core/link_rows.h"
#include "core/matrix.h"
#include "core/state.h"

namespace qv {

// Adds the Match, Miss, Over, Absent, STD-link and Target-link counts of the
// pairs i < j (upper triangle only) to `counts`; never clears them. STD first.
void CountLinkFlags(const LinkMatrix& stdLinks, const LinkMatrix& target, int n,
                    LinkFlagCounts& counts);
// The same for networks read as rows (both of one size).
void CountLinkFlags(const LinkRows& stdLinks, const LinkRows& target, LinkFlagCounts& counts);

// count / total x 100, rounded by RoundToDecimals to three decimals; no value
// when total is 0.
std::optional<double> linkRate(std::int32_t count, std::int32_t total);

}  // namespace qv
