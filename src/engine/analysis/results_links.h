#pragma once

#include <string>
#include <vector>

#include "analysis/student_matrices.h"
#include "core/link_rows.h"
#include "core/state.h"

namespace qv {

// The long table of links: UTF-8 with BOM, CR LF, one row per student and
// concept pair i < j (1-based), the columns
// ID,i,j,concept i,concept j,standard,student,class,distance,standard distance,Method
// where `standard` and `student` are 1 or 0 for the pair's link in each
// network, `class` is Match, Miss, Over or Absent, and the distances are
// plain numbers: the pair's distance in the student's matrix and in the
// standard's. The table a mixed model or a pivot table reads. A student left
// out of a group referent has its own standard (StudentRecord::referentLinks,
// the summed matrix less its own distances).
class LinksCsvWriter {
  public:
    // For the run `standard` (its standard network at least) made by
    // `method`; its class must outlive the writer.
    LinksCsvWriter(const RunResults& standard, RunMethod method);

    static std::string head();
    // A student's rows; several threads may write at once.
    void appendRows(std::string& out, const StudentRecord& record) const;

  private:
    StudentNetworkBuilder builder_;
    int n_;
    // Per pair, what does not depend on the student: the text from "i" to
    // "concept j," and from ",standard distance" to the end of the row.
    std::vector<std::string> pairHead_, pairTail_;
    std::string methodField_;
    LinkRows standard_;
    DistanceMatrix standardDistance_;
};

}  // namespace qv
