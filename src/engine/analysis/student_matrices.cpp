#include "analysis/student_matrices.h"

#include "compare/graph_distance.h"
#include "pathfinder/first_order.h"
#include "pathfinder/matrix_ops.h"
#include "pathfinder/student_distance.h"

namespace qv {

struct StudentNetworkBuilder::FastPath {
    ItemConceptBits table;
};

DistanceMatrix standardDistance(const AppState& state) {
    return ColumnDistanceMatrix(state.itemConcept, state.itemCount, state.conceptCount,
                                state.itemCount);
}

ItemMatrix itemConceptHits(const AppState& state, const StudentRecord& record) {
    const ItemMatrix& ic = state.itemConcept;
    ItemMatrix hits(ic.rows(), ic.cols());
    for (int r = 0; r < ic.rows(); ++r) {
        if (!record.isCorrect(r)) continue;
        for (int c = 0; c < ic.cols(); ++c)
            hits(r, c) = ic(r, c);
    }
    return hits;
}

LinkMatrix methodNetwork(RunMethod method, const DistanceMatrix& distance, int n) {
    return method == RunMethod::Triangle ? FirstOrderTriangle(distance, n)
                                         : FirstOrderPathSearch(distance, n);
}

StudentNetworkBuilder::StudentNetworkBuilder(const AppState& state, RunMethod method,
                                             bool allowBitParallel)
    : state_(state), method_(method) {
    if (!allowBitParallel) return;
    if (auto table = makeItemConceptBits(state.itemConcept, state.conceptCount))
        fast_ = std::make_unique<const FastPath>(FastPath{std::move(*table)});
}

StudentNetworkBuilder::~StudentNetworkBuilder() = default;

bool StudentNetworkBuilder::bitParallel() const {
    return fast_ != nullptr;
}

DistanceMatrix StudentNetworkBuilder::distance(const StudentRecord& record) const {
    if (fast_) return studentDistance(fast_->table, record.correct, state_.itemCount);
    // The product with the diagonal correct-answer matrix, as the definition
    // states it; the sizes agree because the run checked the item counts.
    const int items = state_.itemCount;
    auto hits = MatrixMultiply(itemMatrix(record, items), state_.itemConcept);
    return ColumnDistanceMatrix(*hits, items, state_.conceptCount, items);
}

StudentNetwork StudentNetworkBuilder::network(const StudentRecord& record) const {
    StudentNetwork net;
    net.distance = distance(record);
    net.links = methodNetwork(method_, net.distance, state_.conceptCount);
    net.graphDistance = PointDistanceNO(net.links, state_.conceptCount);
    return net;
}

}  // namespace qv
