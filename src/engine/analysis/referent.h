#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "core/matrix.h"
#include "core/state.h"

namespace qv {

// What each student's network is compared with. The design's standard (from
// the item-concept table) is the default; the others need PFNET, where a
// summed matrix has a standard meaning.
struct Referent {
    enum class Kind { Design, Best, Class, Matrix };
    Kind kind = Kind::Design;
    // Best: P as thousandths of a percent (27 % is 27'000), 1 .. 100'000.
    std::int64_t bestThousandths = 0;
    // Matrix: the files' cell-wise sum and the files as the user named them.
    DistanceMatrix matrix;
    std::vector<std::string> files;

    bool isDesign() const { return kind == Kind::Design; }
    // Best and Class: each student in the group is compared with the sum of
    // the others' matrices.
    bool leavesOneOut() const { return kind == Kind::Best || kind == Kind::Class; }
};

// "design", "best:P", "class" or "matrix:FILE[,FILE...]"; the matrix files are
// only named here (Referent::files), the caller reads and sums them.
Expected<Referent> parseReferent(std::string_view text);

// The referent as the JSON and the CSV name it: "design", "best:27",
// "class", "matrix:a.txt,b.txt".
std::string referentKey(const Referent& referent);
// The referent as a report's method line names it, e.g. "參照：前 27% 學生".
std::string referentName(const Referent& referent);

// The students at the top of the class by score: ranked highest first, the cut
// is the score at rank ceil(P * N / 100), and everyone with at least that
// score belongs (ties included). One flag per student, in file order.
std::vector<bool> topScorers(const std::vector<Student>& students, std::int64_t thousandths);
// The same from the other end: everyone with at most the score at rank
// ceil(P * N / 100) counted from the lowest.
std::vector<bool> bottomScorers(const std::vector<Student>& students, std::int64_t thousandths);

}  // namespace qv
