#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/student_matrices.h"
#include "core/matrix.h"
#include "core/state.h"

namespace qv {

// The program's one JSON writer: the run's results (the command line's
// `analyze --format json` and the desktop's 匯出 JSON) and the class summary
// are written through these texts and no others.

// A text as a JSON string, quotes included: `"` and `\` escaped, \b \f \n \r
// \t, the other characters below U+0020 as \u00XX; U+007F and every other
// character as it is. Bytes that are not UTF-8 are written as U+FFFD, so the
// document always parses.
void appendJsonString(std::string& out, std::string_view text);

// The method's fields of a document, each on its own line ending in a comma:
// "method", and "r" and "q" for pfnet.
void appendMethodJson(std::string& out, const RunMethod& method, int conceptCount);

// What the results document says before its students: the class and the
// standard network of the run.
struct ResultsJsonClass {
    RunMethod method;
    int conceptCount = 0;
    int itemCount = 0;
    std::int64_t studentCount = 0;
    const std::vector<std::string>& conceptNames;  // one per concept
    std::u32string_view answerKey;
    const LinkMatrix& stdLinks;
    const DistanceMatrix& stdDistance;
    const GraphDistanceMatrix& stdGraphDistance;
};

// A class and the standard network of a run on it.
inline ResultsJsonClass resultsJsonClass(const ClassData& data, const RunResults& standard,
                                         const RunMethod& method) {
    return {method,           data.conceptCount,     data.itemCount,
            data.studentCount, data.conceptNames,     data.answerKey,
            standard.stdLinks, standard.stdDistance, standard.stdGraphDistance};
}

// The layout: the method (with r and q for pfnet), the class, the standard
// network, then one line per student and the end. A student's part is its
// separator and its object on one line; the first student's part starts with
// kFirstStudentSkip bytes that are left out.
std::string resultsJsonHead(const ResultsJsonClass& c);
inline constexpr std::size_t kFirstStudentSkip = 1;
std::string_view resultsJsonTail(std::int64_t studentCount);

// A student's part. The record keeps no matrices: they are derived again by
// the builder, on the calling thread into buffers it reuses, so several
// threads may write at once.
void appendStudentJson(std::string& out, const StudentRecord& r, int itemCount,
                       const StudentNetworkBuilder& builder);

// The whole document for records held in memory, to `emit` a piece at a time.
void writeResultsJson(const ResultsJsonClass& c, std::span<const StudentRecord> students,
                      const StudentNetworkBuilder& builder,
                      const std::function<void(std::string_view)>& emit);

}  // namespace qv
