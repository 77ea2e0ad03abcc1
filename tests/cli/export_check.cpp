// Reads exported files back with other readers and compares them with
// analyze --format json / csv:
//   export_check graphml DIR RESULTS.json
//   export_check links LINKS.csv RESULTS.json
//   export_check xlsx BOOK.xlsx RESULTS.csv
// Prints the first difference and exits 1, or exits 0.
#include <igraph.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "data/file_stems.h"
#include "data/sheet.h"

namespace {

using Pairs = std::set<std::pair<int, int>>;  // 1-based, the smaller first

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int differ(const std::string& what) {
    std::cerr << what << "\n";
    return 1;
}

Pairs pairsOf(const nlohmann::json& links) {
    Pairs out;
    for (const auto& l : links)
        out.insert({l[0].get<int>(), l[1].get<int>()});
    return out;
}

// One file's network as igraph's GraphML reader sees it.
int checkGraph(const std::string& file, const nlohmann::json& doc, const nlohmann::json& network,
               const Pairs* standard) {
    std::FILE* in = std::fopen(file.c_str(), "r");
    if (!in) return differ("missing " + file);
    igraph_t g;
    const igraph_error_t code = igraph_read_graph_graphml(&g, in, 0);
    std::fclose(in);
    if (code != IGRAPH_SUCCESS) return differ("igraph cannot read " + file);
    int status = 0;
    const auto& concepts = doc["concepts"];
    if (igraph_vcount(&g) != static_cast<igraph_integer_t>(concepts.size()))
        status = differ(file + ": node count");
    for (igraph_integer_t v = 0; status == 0 && v < igraph_vcount(&g); ++v) {
        if (VAS(&g, "label", v) != concepts[static_cast<std::size_t>(v)].get<std::string>() ||
            VAN(&g, "number", v) != static_cast<double>(v + 1))
            status = differ(file + ": node " + std::to_string(v + 1));
    }
    Pairs edges;
    for (igraph_integer_t e = 0; status == 0 && e < igraph_ecount(&g); ++e) {
        int i = static_cast<int>(IGRAPH_FROM(&g, e)) + 1, j = static_cast<int>(IGRAPH_TO(&g, e)) + 1;
        if (i > j) std::swap(i, j);
        edges.insert({i, j});
        const double d = network["distance"][i - 1][j - 1].get<double>();
        if (EAN(&g, "distance", e) != d) status = differ(file + ": distance of an edge");
        if (standard && EAS(&g, "class", e) != std::string(standard->count({i, j}) ? "Match" : "Over"))
            status = differ(file + ": class of an edge");
    }
    if (status == 0 && edges != pairsOf(network["links"])) status = differ(file + ": links");
    igraph_destroy(&g);
    return status;
}

int checkGraphml(const std::string& dir, const nlohmann::json& doc) {
    const Pairs standard = pairsOf(doc["standard"]["links"]);
    if (int s = checkGraph(dir + "/standard.graphml", doc, doc["standard"], nullptr)) return s;
    std::vector<std::string> ids;
    for (const auto& s : doc["students"])
        ids.push_back(s["id"].get<std::string>());
    const auto stems = qv::studentFileStems(ids, {"standard"});
    for (std::size_t k = 0; k < ids.size(); ++k)
        if (int s = checkGraph(dir + "/" + stems[k] + ".graphml", doc, doc["students"][k], &standard))
            return s;
    return 0;
}

int checkLinks(const std::string& csvFile, const nlohmann::json& doc) {
    auto sheet = qv::readCsv(bytesOf(csvFile), csvFile);
    if (!sheet) return differ(sheet.error().message());
    const int n = doc["conceptCount"].get<int>();
    const auto& students = doc["students"];
    const std::size_t pairs = static_cast<std::size_t>(n * (n - 1) / 2);
    if (sheet->rowCount() != 1 + students.size() * pairs) return differ("row count");
    const Pairs standard = pairsOf(doc["standard"]["links"]);
    std::size_t row = 1;
    for (const auto& s : students) {
        const Pairs own = pairsOf(s["links"]);
        for (int i = 1; i <= n; ++i) {
            for (int j = i + 1; j <= n; ++j, ++row) {
                const bool inStd = standard.count({i, j}) > 0, inOwn = own.count({i, j}) > 0;
                const char* cls = inStd ? (inOwn ? "Match" : "Miss") : (inOwn ? "Over" : "Absent");
                const std::vector<std::string> expected = {
                    s["id"].get<std::string>(), std::to_string(i), std::to_string(j),
                    doc["concepts"][i - 1].get<std::string>(), doc["concepts"][j - 1].get<std::string>(),
                    inStd ? "1" : "0", inOwn ? "1" : "0", cls,
                    s["distance"][i - 1][j - 1].dump(), doc["standard"]["distance"][i - 1][j - 1].dump(),
                    doc["method"].get<std::string>()};
                for (std::size_t c = 0; c < expected.size(); ++c)
                    if (sheet->cell(row, c) != expected[c] && !(c == 10 && sheet->cell(row, c).starts_with(expected[c])))
                        return differ("row " + std::to_string(row + 1) + " column " +
                                      std::to_string(c + 1) + ": " +
                                      std::string(sheet->cell(row, c)) + " for " + expected[c]);
            }
        }
    }
    return 0;
}

int checkXlsx(const std::string& bookFile, const std::string& csvFile) {
    auto book = qv::readSheet(bytesOf(bookFile), bookFile, "結果");
    auto csv = qv::readCsv(bytesOf(csvFile), csvFile);
    if (!book || !csv) return differ("cannot read the workbook or the CSV");
    if (book->rowCount() != csv->rowCount() || book->columnCount() != csv->columnCount())
        return differ("sheet size");
    for (std::size_t r = 0; r < csv->rowCount(); ++r)
        for (std::size_t c = 0; c < csv->columnCount(); ++c) {
            const std::string_view want = csv->cell(r, c).empty() ? "N/A" : csv->cell(r, c);
            if (book->cell(r, c) != want)
                return differ(qv::cellName(r, c) + ": " + std::string(book->cell(r, c)) +
                              " for " + std::string(want));
        }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return differ("usage: export_check graphml|links|xlsx FILE REFERENCE");
    const std::string mode = argv[1];
    if (mode == "xlsx") return checkXlsx(argv[2], argv[3]);
    igraph_set_attribute_table(&igraph_cattribute_table);
    const auto doc = nlohmann::json::parse(bytesOf(argv[3]));
    return mode == "graphml" ? checkGraphml(argv[2], doc) : checkLinks(argv[2], doc);
}
