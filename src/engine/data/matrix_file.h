#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "core/limits.h"
#include "core/matrix.h"

namespace qv {

// A distance matrix as text: the first line the concept count n (1 to
// maxConcepts, kMaxConcepts unless a method takes more), then n lines of n numbers separated by
// blanks or tabs, each with at most four decimals and below 10^9 in magnitude. Lines end at LF, CR
// LF or CR; blank lines are skipped. The error names the line and the field.
// `rowLines`, when given, receives the line of each row.
Expected<DistanceMatrix> parseMatrixText(std::string_view text, int maxConcepts = kMaxConcepts,
                                         std::vector<int>* rowLines = nullptr);

// An exact decimal: optional sign, digits, optional point and up to four
// decimals, below 10^9 in magnitude. The error quotes the text.
Expected<Currency> parseDecimal(std::string_view s);

// Reads and parses a matrix file; the error names the file and the line.
Expected<DistanceMatrix> readMatrixFile(const std::filesystem::path& path,
                                        int maxConcepts = kMaxConcepts,
                                        std::vector<int>* rowLines = nullptr);

// The concept count in a matrix file's header, read from the file's first
// few kilobytes alone, so that a count a method refuses is refused before the
// whole file is read. Nothing when it cannot be told that way: the full read
// then gives the error.
std::optional<int> peekMatrixCount(const std::filesystem::path& path,
                                   int maxConcepts = kMaxConcepts);

// Rows 0 .. n - 1 of a link matrix as "1"/"0" separated by two spaces, each
// row followed by lineBreak.
std::string linkRowsText(const LinkMatrix& links, int n, std::string_view lineBreak);

}  // namespace qv
