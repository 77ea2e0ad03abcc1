#pragma once

#include <memory>

#include "core/matrix.h"
#include "core/state.h"
#include "pathfinder/whole_distances.h"

namespace qv {

enum class RunMethod { Triangle, PathSearch };

// The standard concept distances: the column distances of the whole
// item-concept matrix.
DistanceMatrix standardDistance(const AppState& state);

// The Pathfinder network of a distance matrix by the method's variant.
LinkMatrix methodNetwork(RunMethod method, const DistanceMatrix& distance, int n);
// The same into `out`, reusing its storage when it already has the size.
void methodNetworkInto(RunMethod method, const DistanceMatrix& distance, int n, LinkMatrix& out);
void methodNetworkInto(RunMethod method, const WholeDistanceMatrix& distance, int n,
                       LinkMatrix& out);

// One student's distances, network and graph distances.
struct StudentNetwork {
    DistanceMatrix distance;
    LinkMatrix links;
    GraphDistanceMatrix graphDistance;
};

// Builds students' matrices for the loaded class. Uses the bit-parallel
// distance count when the item-concept matrix allows it (always for loaded
// files) and the plain product and column distances otherwise; both give the
// same matrices. The state must satisfy the run's preconditions and outlive
// the builder.
class StudentNetworkBuilder {
  public:
    StudentNetworkBuilder(const AppState& state, RunMethod method);
    ~StudentNetworkBuilder();
    StudentNetworkBuilder(const StudentNetworkBuilder&) = delete;
    StudentNetworkBuilder& operator=(const StudentNetworkBuilder&) = delete;

    DistanceMatrix distance(const StudentRecord& record) const;
    // The same into `out`, reusing its storage when it already has the size.
    void distanceInto(const StudentRecord& record, DistanceMatrix& out) const;
    // The same distances as whole numbers, when the bit-parallel count is in
    // use and the item count allows; false (and `out` untouched) otherwise.
    bool unitsInto(const StudentRecord& record, WholeDistanceMatrix& out) const;
    // The method's network of distances from unitsInto, the same as
    // methodNetworkInto gives; the first-order methods in n^2 steps.
    void unitsNetworkInto(const WholeDistanceMatrix& units, LinkMatrix& out) const;
    StudentNetwork network(const StudentRecord& record) const;

  private:
    struct FastPath;
    const AppState& state_;
    RunMethod method_;
    std::unique_ptr<const FastPath> fast_;
};

}  // namespace qv
