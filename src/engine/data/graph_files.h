#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "core/link_rows.h"
#include "core/matrix.h"

namespace qv {

// The network file formats of network tools (Gephi, Cytoscape, igraph,
// networkx), as igraph's own writers write them.
enum class GraphFormat { GraphMl, Gml, Pajek };

// The file extension without its dot: "graphml", "gml", "net".
std::string_view graphFileExtension(GraphFormat format);

// One network as a file shows it: a node per concept in concept order, with
// `label` and its 1-based `number`; an edge per link i < j with `distance`,
// the pair's distance in the network's own matrix, and, given the standard
// links, `class` (Match when the standard has the link, else Over). Pajek
// has fixed attribute names: the label is the node's name, the distance the
// edge's weight and the class its label.
struct GraphNetwork {
    const std::vector<std::string>& labels;
    const LinkRows& links;
    const DistanceMatrix& distance;
    const LinkRows* standard = nullptr;
};

// The file's bytes, byte for byte what igraphGraphFileBytes() gives, written
// here: igraph's writers are not thread-safe in this build and take about
// fifty times as long, which a class of 100,000 students cannot afford. Safe
// to call from any thread. An error says what igraph's would.
Expected<std::string> graphFileBytes(GraphFormat format, const GraphNetwork& network);

// The file's bytes from igraph's own writers (under igraphMutex()), the
// reference graphFileBytes() is held to; an error names igraph's reason.
Expected<std::string> igraphGraphFileBytes(GraphFormat format, const GraphNetwork& network);

// igraph keeps global state (its error handler, its attribute table) and is
// built without thread safety: every use of it holds this lock.
std::mutex& igraphMutex();

}  // namespace qv
