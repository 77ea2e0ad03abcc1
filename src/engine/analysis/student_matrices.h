#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/expected.h"
#include "core/link_rows.h"
#include "core/matrix.h"
#include "core/state.h"
#include "pathfinder/pfnet.h"
#include "pathfinder/whole_distances.h"

namespace qv {

enum class NetworkKind { Triangle, PathSearch, Pfnet };

// What the students' networks are compared with (analysis/referent.h): the
// design's standard, or with PFNET the summed matrices of the best students,
// of the class, or of matrix files.
enum class ReferentKind { Design, Best, Class, Matrix };
struct ReferentChoice {
    ReferentKind kind = ReferentKind::Design;
    std::int64_t bestThousandths = 0;  // Best: P in thousandths of a percent
    bool isDesign() const { return kind == ReferentKind::Design; }
    // Best and Class: a student of the group is compared with the others' sum.
    bool leavesOneOut() const { return kind == ReferentKind::Best || kind == ReferentKind::Class; }
    friend bool operator==(const ReferentChoice&, const ReferentChoice&) = default;
};

// The network a run builds for the standard and for every student: one of the
// two first-order variants, or PFNET(r, q).
struct RunMethod {
    NetworkKind kind = NetworkKind::Triangle;
    PfnetParams pfnetParams;  // read for NetworkKind::Pfnet only
    ReferentChoice referent;  // other than Design with NetworkKind::Pfnet only

    static const RunMethod Triangle;
    static const RunMethod PathSearch;
    static constexpr RunMethod pfnet(PfnetParams params) { return {NetworkKind::Pfnet, params, {}}; }
    friend bool operator==(const RunMethod&, const RunMethod&) = default;
};
inline constexpr RunMethod RunMethod::Triangle{NetworkKind::Triangle, {}, {}};
inline constexpr RunMethod RunMethod::PathSearch{NetworkKind::PathSearch, {}, {}};

// Refuses parameters that do not fit n concepts (a q outside 2 .. n - 1), and
// a referent other than the design's without PFNET.
Expected<void> checkRunMethod(const RunMethod& method, int n);

// What a report says about the networks under the student's ID: the PFNET
// parameters, e.g. "PFNET(r=∞, q=19)", and a referent other than the design's
// ("PFNET(r=∞, q=19)，參照：前 27% 學生"); nothing for the first-order variants.
std::string reportedMethodName(const RunMethod& method, int n);

// The method's word in JSON: triangle, path-search or pfnet.
std::string methodWord(const RunMethod& method);

// The method as a CSV's Method column names it, one word a script can match:
// "triangle", "path-search", "pfnet(r=inf,q=19)", and with another referent
// "pfnet(r=inf,q=19,referent=best:27)".
std::string methodKey(const RunMethod& method, int n);

// The standard concept distances: the column distances of the whole
// item-concept matrix.
DistanceMatrix standardDistance(const ClassData& state);

// The Pathfinder network of a distance matrix by the method's variant.
LinkMatrix methodNetwork(RunMethod method, const DistanceMatrix& distance, int n);
// The same into `out`, reusing its storage when it already has the size.
void methodNetworkInto(RunMethod method, const DistanceMatrix& distance, int n, LinkMatrix& out);

// One student's distances, network and graph distances.
struct StudentNetwork {
    DistanceMatrix distance;
    LinkMatrix links;
    GraphDistanceMatrix graphDistance;
};

// Builds students' matrices for the loaded class by the bit-parallel count
// over its 0/1 item-concept table. The state must satisfy the run's
// preconditions (checkClassRunnable) and outlive the builder.
class StudentNetworkBuilder {
  public:
    StudentNetworkBuilder(const ClassData& state, RunMethod method);
    ~StudentNetworkBuilder();
    StudentNetworkBuilder(const StudentNetworkBuilder&) = delete;
    StudentNetworkBuilder& operator=(const StudentNetworkBuilder&) = delete;

    DistanceMatrix distance(const Student& record) const;
    // The same into `out`, reusing its storage when it already has the size.
    void distanceInto(const Student& record, DistanceMatrix& out) const;
    // The same distances as whole numbers, when the item count allows; false
    // (and `out` untouched) otherwise.
    bool unitsInto(const Student& record, WholeDistanceMatrix& out) const;
    // The method's network of distances from unitsInto, the same as
    // methodNetworkInto gives; the first-order methods in n^2 steps.
    void unitsNetworkInto(const WholeDistanceMatrix& units, LinkRows& out) const;
    StudentNetwork network(const Student& record) const;

  private:
    struct Table;
    const ClassData& state_;
    RunMethod method_;
    std::unique_ptr<const Table> table_;
};

}  // namespace qv
