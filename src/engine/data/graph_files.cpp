#include "data/graph_files.h"

#include <igraph.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
        IGRAPH_CHECK(SETEAN(g, pajek ? "weight" : "distance", id, net.distance(i, j).toDouble()));
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
            return igraph_write_graph_gml(g, out, IGRAPH_WRITE_GML_DEFAULT_SW, nullptr, "Quorvane");
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

Expected<std::string> igraphGraphFileBytes(GraphFormat format, const GraphNetwork& net) {
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
    if (auto code = igraph_create(&graph.value, &edges, n, IGRAPH_UNDIRECTED);
        code != IGRAPH_SUCCESS)
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

namespace {

// A distance as igraph prints a number ("%.15g"): the fixed-point value
// itself whenever it has at most 15 digits, which is every distance a class
// gives; snprintf for the rest.
void appendNumber(std::string& out, Currency c) {
    const std::int64_t raw = c.raw();
    constexpr std::int64_t kExact = 1'000'000'000'000'000;
    if (raw <= -kExact || raw >= kExact) {
        char text[32];
        const int n = std::snprintf(text, sizeof text, "%.15g", c.toDouble());
        out.append(text, static_cast<std::size_t>(n));
        return;
    }
    std::uint64_t magnitude =
        raw < 0 ? static_cast<std::uint64_t>(-raw) : static_cast<std::uint64_t>(raw);
    if (raw < 0) out += '-';
    char digits[24];
    auto whole = std::to_chars(digits, digits + sizeof digits, magnitude / Currency::kScale).ptr;
    out.append(digits, whole);
    auto fraction = static_cast<unsigned>(magnitude % Currency::kScale);
    if (fraction == 0) return;
    char tail[4];
    int length = 4;
    for (int k = 3; k >= 0; --k, fraction /= 10)
        tail[k] = static_cast<char>('0' + fraction % 10);
    while (tail[length - 1] == '0')
        --length;
    out += '.';
    out.append(tail, static_cast<std::size_t>(length));
}

void appendCount(std::string& out, std::size_t value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// XML text as igraph escapes it; false for a control character XML forbids.
bool appendXml(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                    return false;
                out += c;
        }
    }
    return true;
}

void appendGmlString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '"') {
            out += "&quot;";
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendPajekString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

std::string_view linkClass(const GraphNetwork& net, int i, int j) {
    return hasLink(*net.standard, i, j) ? "Match" : "Over";
}

bool appendGraphMl(std::string& out, const GraphNetwork& net) {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\"\n"
        "         xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
        "         xsi:schemaLocation=\"http://graphml.graphdrawing.org/xmlns\n"
        "         http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd\">\n"
        "<!-- Created by igraph -->\n"
        "  <key id=\"v_label\" for=\"node\" attr.name=\"label\" attr.type=\"string\"/>\n"
        "  <key id=\"v_number\" for=\"node\" attr.name=\"number\" attr.type=\"double\"/>\n";
    // A network without links has no edge attributes to declare.
    bool anyLink = false;
    forEachUpperLink(net.links, [&anyLink](int, int) { anyLink = true; });
    if (anyLink) {
        out +=
            "  <key id=\"e_distance\" for=\"edge\" attr.name=\"distance\" attr.type=\"double\"/>\n";
        if (net.standard)
            out +=
                "  <key id=\"e_class\" for=\"edge\" attr.name=\"class\" attr.type=\"string\"/>\n";
    }
    out += "  <graph id=\"G\" edgedefault=\"undirected\">\n";
    for (std::size_t v = 0; v < net.labels.size(); ++v) {
        out += "    <node id=\"n";
        appendCount(out, v);
        out += "\">\n      <data key=\"v_label\">";
        if (!appendXml(out, net.labels[v])) return false;
        out += "</data>\n      <data key=\"v_number\">";
        appendCount(out, v + 1);
        out += "</data>\n    </node>\n";
    }
    forEachUpperLink(net.links, [&](int i, int j) {
        out += "    <edge source=\"n";
        appendCount(out, static_cast<std::size_t>(i));
        out += "\" target=\"n";
        appendCount(out, static_cast<std::size_t>(j));
        out += "\">\n      <data key=\"e_distance\">";
        appendNumber(out, net.distance(i, j));
        out += "</data>\n";
        if (net.standard) {
            out += "      <data key=\"e_class\">";
            out += linkClass(net, i, j);
            out += "</data>\n";
        }
        out += "    </edge>\n";
    });
    out += "  </graph>\n</graphml>\n";
    return true;
}

void appendGml(std::string& out, const GraphNetwork& net) {
    out += "Creator \"Quorvane\"\nVersion 1\ngraph\n[\n  directed 0\n";
    for (std::size_t v = 0; v < net.labels.size(); ++v) {
        out += "  node\n  [\n    id ";
        appendCount(out, v);
        out += "\n    label ";
        appendGmlString(out, net.labels[v]);
        out += "\n    number ";
        appendCount(out, v + 1);
        out += "\n  ]\n";
    }
    // igraph keeps an undirected edge with its larger end first.
    forEachUpperLink(net.links, [&](int i, int j) {
        out += "  edge\n  [\n    source ";
        appendCount(out, static_cast<std::size_t>(j));
        out += "\n    target ";
        appendCount(out, static_cast<std::size_t>(i));
        out += "\n    distance ";
        appendNumber(out, net.distance(i, j));
        if (net.standard) {
            out += "\n    class \"";
            out += linkClass(net, i, j);
            out += '"';
        }
        out += "\n  ]\n";
    });
    out += "]\n";
}

void appendPajek(std::string& out, const GraphNetwork& net) {
    out += "*Vertices ";
    appendCount(out, net.labels.size());
    out += '\n';
    for (std::size_t v = 0; v < net.labels.size(); ++v) {
        appendCount(out, v + 1);
        out += ' ';
        appendPajekString(out, net.labels[v]);
        out += '\n';
    }
    out += "*Edges\n";
    forEachUpperLink(net.links, [&](int i, int j) {
        appendCount(out, static_cast<std::size_t>(i + 1));
        out += ' ';
        appendCount(out, static_cast<std::size_t>(j + 1));
        out += ' ';
        appendNumber(out, net.distance(i, j));
        if (net.standard) {
            out += " l \"";
            out += linkClass(net, i, j);
            out += '"';
        }
        out += '\n';
    });
}

}  // namespace

Expected<std::string> graphFileBytes(GraphFormat format, const GraphNetwork& net) {
    std::string out;
    out.reserve(1024 + 160 * net.labels.size());
    switch (format) {
        case GraphFormat::GraphMl:
            if (!appendGraphMl(out, net)) return igraphError(IGRAPH_EINVAL);
            break;
        case GraphFormat::Gml:
            appendGml(out, net);
            break;
        case GraphFormat::Pajek:
            appendPajek(out, net);
            break;
    }
    return out;
}

}  // namespace qv
