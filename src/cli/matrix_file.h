#pragma once

#include <string>
#include <string_view>

#include "core/expected.h"
#include "core/matrix.h"

namespace qv::cli {

// The largest concept count a matrix file may declare.
inline constexpr int kMaxMatrixConcepts = 181;

// A distance matrix as text: the first line the concept count n (1 to 181),
// then n lines of n numbers separated by blanks or tabs, each with at most
// four decimals and below 10^9 in magnitude. Lines end at LF, CR LF or CR;
// blank lines are skipped. The error names the line, in Traditional Chinese,
// without the file name.
Expected<DistanceMatrix, std::string> parseMatrixText(std::string_view text);

// An exact decimal: optional sign, digits, optional point and up to four
// decimals, below 10^9 in magnitude. The error quotes the text.
Expected<Currency, std::string> parseDecimal(std::string_view s);

// Reads and parses a matrix file; the error names the file and the line.
Expected<DistanceMatrix, std::string> readMatrixFile(const std::string& path);

}  // namespace qv::cli
