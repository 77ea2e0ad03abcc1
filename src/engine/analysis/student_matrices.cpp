#include "analysis/student_matrices.h"

#include "analysis/referent.h"

#include "compare/graph_distance.h"
#include "pathfinder/first_order.h"
#include "pathfinder/student_distance.h"

namespace qv {

struct StudentNetworkBuilder::Table {
    ItemConceptBits bits;
};

DistanceMatrix standardDistance(const ClassData& state) {
    // The standard is a student who answered every item.
    const ItemConceptBits table =
        makeItemConceptBits(state.itemConcept, state.conceptCount).value();
    const std::vector<std::uint64_t> every(static_cast<std::size_t>(table.words),
                                           ~std::uint64_t{0});
    DistanceMatrix d;
    studentDistanceInto(table, every, state.itemCount, d);
    return d;
}

LinkMatrix methodNetwork(RunMethod method, const DistanceMatrix& distance, int n) {
    LinkMatrix links;
    methodNetworkInto(method, distance, n, links);
    return links;
}

Expected<void> checkRunMethod(const RunMethod& method, int n) {
    if (method.kind != NetworkKind::Pfnet) {
        if (method.referent.isDesign()) return {};
        return errorText("無法執行分析：題目設計以外的參照（best、class、matrix）"
                         "只能配合 PFNET（--method pfnet）使用。");
    }
    if (auto checked = checkPfnetParams(method.pfnetParams, n); !checked)
        return errorText("無法執行分析：" + checked.error().what);
    return {};
}

std::string reportedMethodName(const RunMethod& method, int n) {
    if (method.kind != NetworkKind::Pfnet) return {};
    std::string name = pfnetName(method.pfnetParams, n);
    if (!method.referent.isDesign()) name += "，" + referentName(method.referent);
    return name;
}

std::string methodWord(const RunMethod& method) {
    switch (method.kind) {
        case NetworkKind::Triangle:
            return "triangle";
        case NetworkKind::PathSearch:
            return "path-search";
        case NetworkKind::Pfnet:
            return "pfnet";
    }
    return {};
}

std::string methodKey(const RunMethod& method, int n) {
    if (method.kind != NetworkKind::Pfnet) return methodWord(method);
    return std::string("pfnet(r=") + (method.pfnetParams.r == PfnetR::One ? "1" : "inf") +
           ",q=" + std::to_string(pfnetHops(method.pfnetParams, n)) +
           (method.referent.isDesign() ? "" : ",referent=" + referentKey(method.referent)) + ")";
}

void methodNetworkInto(RunMethod method, const DistanceMatrix& distance, int n, LinkMatrix& out) {
    if (method.kind == NetworkKind::Pfnet)
        PfnetNetworkInto(distance, n, method.pfnetParams, out);
    else if (method.kind == NetworkKind::Triangle)
        FirstOrderTriangleInto(distance, n, out);
    else
        FirstOrderPathSearchInto(distance, n, out);
}

StudentNetworkBuilder::StudentNetworkBuilder(const ClassData& state, RunMethod method)
    : state_(state),
      method_(method),
      table_(std::make_unique<const Table>(
          Table{makeItemConceptBits(state.itemConcept, state.conceptCount).value()})) {}

StudentNetworkBuilder::~StudentNetworkBuilder() = default;

DistanceMatrix StudentNetworkBuilder::distance(const Student& record) const {
    DistanceMatrix d;
    distanceInto(record, d);
    return d;
}

void StudentNetworkBuilder::distanceInto(const Student& record, DistanceMatrix& out) const {
    studentDistanceInto(table_->bits, record.correct, state_.itemCount, out);
}

bool StudentNetworkBuilder::unitsInto(const Student& record, WholeDistanceMatrix& out) const {
    return studentUnitsInto(table_->bits, record.correct, state_.itemCount, out);
}

void StudentNetworkBuilder::unitsNetworkInto(const WholeDistanceMatrix& units,
                                             LinkRows& out) const {
    if (method_.kind == NetworkKind::Pfnet) {
        thread_local LinkMatrix cells;
        PfnetNetworkInto(units, state_.conceptCount, method_.pfnetParams, cells);
        linkRowsInto(cells, state_.conceptCount, out);
        return;
    }
    FirstOrderOfCountsInto(method_ == RunMethod::Triangle, units, state_.conceptCount,
                           static_cast<std::int16_t>(state_.itemCount + 1), out);
}

StudentNetwork StudentNetworkBuilder::network(const Student& record) const {
    StudentNetwork net;
    net.distance = distance(record);
    net.links = methodNetwork(method_, net.distance, state_.conceptCount);
    net.graphDistance = PointDistanceNO(net.links, state_.conceptCount);
    return net;
}

}  // namespace qv
