#include "data/graph_files.h"

#include <igraph.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace qv {

namespace {

// igraph aborts on an error unless told otherwise; its codes are checked
// here. The C attribute table carries the labels and distances.
void prepareIgraph() {
    static std::once_flag once;
    std::call_once(once, [] {
        igraph_set_error_handler(igraph_error_handler_ignore);
        igraph_set_warning_handler(igraph_warning_handler_ignore);
        igraph_set_attribute_table(&igraph_cattribute_table);
    });
}

Error igraphError(igraph_error_t code) {
    return errorText(std::string("無法寫出網路檔（igraph：") + igraph_strerror(code) + "）");
}

struct Graph {
    igraph_t value;
    bool ok = false;
    ~Graph() {
        if (ok) igraph_destroy(&value);
    }
};

struct MemoryStream {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    ~MemoryStream() {
        if (file) std::fclose(file);
        std::free(data);
    }
};

igraph_error_t setAttributes(igraph_t* g, GraphFormat format, const GraphNetwork& net,
                             const std::vector<igraph_integer_t>& ends) {
    const bool pajek = format == GraphFormat::Pajek;
    for (std::size_t v = 0; v < net.labels.size(); ++v) {
        const auto id = static_cast<igraph_integer_t>(v);
        IGRAPH_CHECK(SETVAS(g, pajek ? "id" : "label", id, net.labels[v].c_str()));
        if (!pajek) IGRAPH_CHECK(SETVAN(g, "number", id, static_cast<double>(v + 1)));
    }
    for (std::size_t e = 0; 2 * e < ends.size(); ++e) {
        const auto i = static_cast<int>(ends[2 * e]);
        const auto j = static_cast<int>(ends[2 * e + 1]);
        const auto id = static_cast<igraph_integer_t>(e);
        IGRAPH_CHECK(
            SETEAN(g, pajek ? "weight" : "distance", id, net.distance(i, j).toDouble()));
        if (net.standard)
            IGRAPH_CHECK(SETEAS(g, pajek ? "label" : "class", id,
                                hasLink(*net.standard, i, j) ? "Match" : "Over"));
    }
    return IGRAPH_SUCCESS;
}

igraph_error_t writeGraph(const igraph_t* g, GraphFormat format, std::FILE* out) {
    switch (format) {
        case GraphFormat::GraphMl:
            return igraph_write_graph_graphml(g, out, true);
        case GraphFormat::Gml:
            return igraph_write_graph_gml(g, out, IGRAPH_WRITE_GML_DEFAULT_SW, nullptr,
                                          "Quorvane");
        case GraphFormat::Pajek:
            return igraph_write_graph_pajek(g, out);
    }
    return IGRAPH_EINVAL;
}

}  // namespace

std::string_view graphFileExtension(GraphFormat format) {
    switch (format) {
        case GraphFormat::GraphMl:
            return "graphml";
        case GraphFormat::Gml:
            return "gml";
        case GraphFormat::Pajek:
            return "net";
    }
    return {};
}

std::mutex& igraphMutex() {
    static std::mutex mutex;
    return mutex;
}

Expected<std::string> graphFileBytes(GraphFormat format, const GraphNetwork& net) {
    std::vector<igraph_integer_t> ends;
    ends.reserve(2);  // a view needs storage even without links
    forEachUpperLink(net.links, [&ends](int i, int j) {
        ends.push_back(i);
        ends.push_back(j);
    });
    const std::lock_guard lock(igraphMutex());
    prepareIgraph();
    igraph_vector_int_t edges;
    igraph_vector_int_view(&edges, ends.data(), static_cast<igraph_integer_t>(ends.size()));
    Graph graph;
    const auto n = static_cast<igraph_integer_t>(net.labels.size());
    if (auto code = igraph_create(&graph.value, &edges, n, IGRAPH_UNDIRECTED); code != IGRAPH_SUCCESS)
        return igraphError(code);
    graph.ok = true;
    if (auto code = setAttributes(&graph.value, format, net, ends); code != IGRAPH_SUCCESS)
        return igraphError(code);
    MemoryStream stream;
    if (!stream.file) return errorText("無法寫出網路檔：記憶體不足");
    if (auto code = writeGraph(&graph.value, format, stream.file); code != IGRAPH_SUCCESS)
        return igraphError(code);
    const bool closed = std::fclose(stream.file) == 0;
    stream.file = nullptr;
    if (!closed) return errorText("無法寫出網路檔：記憶體不足");
    return std::string(stream.data, stream.size);
}

}  // namespace qv
