#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "core/matrix.h"
#include "core/state.h"

namespace qv {

// What each student's network is compared with. The design's standard (from
// the item-concept table) is the default; the others need PFNET, where a
// summed matrix has a standard meaning.
struct Referent {
    using Kind = ReferentKind;
    Kind kind = Kind::Design;
    // Best: P as thousandths of a percent (27 % is 27'000), 1 .. 100'000.
    std::int64_t bestThousandths = 0;
    // Matrix: the files' cell-wise sum and the files as the user named them.
    DistanceMatrix matrix;
    std::vector<std::string> files;

    // What a run's method carries of it (RunMethod::referent).
    ReferentChoice choice() const { return {kind, bestThousandths}; }
    bool isDesign() const { return kind == Kind::Design; }
    bool leavesOneOut() const { return choice().leavesOneOut(); }
};

// "design", "best:P", "class" or "matrix:FILE[,FILE...]"; the matrix files are
// only named here (Referent::files), the caller reads and sums them.
Expected<Referent> parseReferent(std::string_view text);

// The referent as the JSON and the CSV name it: "design", "best:27",
// "best:27.5", "class", "matrix".
std::string referentKey(const ReferentChoice& referent);
// What the referent is, e.g. "前 27% 學生", "全班學生", "題目設計".
std::string referentLabel(const ReferentChoice& referent);
// The referent as a report's method line names it, e.g. "參照：前 27% 學生".
std::string referentName(const ReferentChoice& referent);

// Percentages of --referent best:P and of score splits: a decimal above 0 and
// at most 100 with at most three decimals, as thousandths of a percent.
Expected<std::int64_t> parsePercent(std::string_view text);

// The students at the top of the class by score: ranked highest first, the cut
// is the score at rank ceil(P * N / 100), and everyone with at least that
// score belongs (ties included). One flag per student, in file order.
std::vector<bool> topScorers(const std::vector<Student>& students, std::int64_t thousandths);
// The same from the other end: everyone with at most the score at rank
// ceil(P * N / 100) counted from the lowest.
std::vector<bool> bottomScorers(const std::vector<Student>& students, std::int64_t thousandths);
// The lowest score among the top P % of these scores (the rule of topScorers);
// none when there are no scores.
std::optional<std::int32_t> topScoreCut(std::vector<std::int32_t> scores,
                                        std::int64_t thousandths);

}  // namespace qv
