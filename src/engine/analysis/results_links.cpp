#include "analysis/results_links.h"

#include <charconv>
#include <cstring>
#include <memory>

#include "analysis/results_csv.h"
#include "core/number_text.h"
#include "report/class_charts.h"

namespace qv {

namespace {

std::string distanceText(Currency c) {
    return numberText(c.toDouble());
}

// Written at a pointer into a buffer sized for the student's rows: appending
// piece by piece to a string cost most of the time.
char* put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

constexpr std::string_view kClass[2][2] = {{"0,0,Absent,", "0,1,Over,"},
                                           {"1,0,Miss,", "1,1,Match,"}};

}  // namespace

LinksCsvWriter::LinksCsvWriter(const RunResults& run, RunMethod method)
    : builder_(*run.data, method),
      n_(run.data->conceptCount),
      methodField_("," + csvField(methodKey(method, n_)) + "\r\n"),
      standard_(linkRows(run.stdLinks, n_)),
      standardDistance_(run.stdDistance) {
    const ClassData& data = *run.data;
    const DistanceMatrix& standard = standardDistance_;
    std::vector<std::string> labels;
    for (int k = 0; k < n_; ++k)
        labels.push_back(csvField(conceptLabel(k, data.conceptNames)));
    for (int i = 0; i < n_; ++i) {
        for (int j = i + 1; j < n_; ++j) {
            pairHead_.push_back(std::to_string(i + 1) + "," + std::to_string(j + 1) + "," +
                                labels[static_cast<std::size_t>(i)] + "," +
                                labels[static_cast<std::size_t>(j)] + ",");
            pairTail_.push_back("," + distanceText(standard(i, j)) + methodField_);
        }
    }
}

std::string LinksCsvWriter::head() {
    return "\xEF\xBB\xBF"
           "ID,i,j,concept i,concept j,standard,student,class,distance,standard distance,"
           "Method\r\n";
}

void LinksCsvWriter::appendRows(std::string& out, const StudentRecord& r) const {
    thread_local WholeDistanceMatrix units;
    thread_local DistanceMatrix distance;
    const bool whole = builder_.unitsInto(r, units);
    if (!whole) builder_.distanceInto(r, distance);
    const bool own = r.referentLinks.n > 0;
    const LinkRows& standard = own ? r.referentLinks : standard_;
    const std::string id = csvField(r.id);
    std::size_t bound = 0;
    for (std::size_t p = 0; p < pairHead_.size(); ++p)
        bound += pairHead_[p].size() + pairTail_[p].size();
    // The ID, a class and two distances of at most 32 bytes per row.
    bound += pairHead_.size() * (id.size() + 2 + 16 + 64);
    const std::size_t start = out.size();
    out.resize(start + bound);
    char* at = out.data() + start;
    std::size_t p = 0;
    for (int i = 0; i < n_; ++i) {
        for (int j = i + 1; j < n_; ++j, ++p) {
            at = put(at, id);
            *at++ = ',';
            at = put(at, pairHead_[p]);
            at = put(at, kClass[hasLink(standard, i, j)][hasLink(r.links, i, j)]);
            const Currency d = whole ? Currency::fromInt(units(i, j)) : distance(i, j);
            if (whole)
                at = std::to_chars(at, at + 32, units(i, j)).ptr;
            else
                at = put(at, distanceText(d));
            if (own) {
                *at++ = ',';
                at = put(at, distanceText(standardDistance_(i, j) - d));
                at = put(at, methodField_);
            } else {
                at = put(at, pairTail_[p]);
            }
        }
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
}

}  // namespace qv
