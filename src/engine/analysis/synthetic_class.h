#pragma once

#include <cstdint>
#include <string>

namespace qv {

// A generated class for benchmarks and load tests, as the three files the
// editors would write (UTF-8; concept labels in Chinese).
struct SyntheticClassOptions {
    std::int32_t students = 1000;
    std::int32_t concepts = 20;
    std::int32_t items = 40;
    std::uint64_t seed = 1;
};

struct SyntheticClassFiles {
    std::string studentFile;
    std::string conceptFile;
    std::string itemConceptFile;
};

// Each item involves one to three concepts and every concept is used (when
// there are at least as many items as concepts); answers follow each
// student's ability and each item's difficulty, with a chance of a lucky
// guess. The same options always give the same bytes.
SyntheticClassFiles makeSyntheticClass(const SyntheticClassOptions& options);

// The size of the student file makeSyntheticClass writes, known before it is
// made, so that a class the reader would refuse is refused first.
std::int64_t syntheticStudentFileBytes(const SyntheticClassOptions& options);

}  // namespace qv
