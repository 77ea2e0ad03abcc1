#include "data/file_stems.h"

#include <set>
#include <string_view>

#include "core/utf8.h"

namespace qv {

namespace {

// Most file systems take 255 bytes in a name; room is left for "_12345.graphml".
constexpr std::size_t kMaxStemBytes = 200;

std::string fileStem(const std::string& id, std::size_t k) {
    if (id.empty()) return "student" + std::to_string(k + 1);
    std::string stem = id;
    for (char& c : stem)
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 32)
            c = '_';
    if (stem.front() == '.') stem.insert(stem.begin(), '_');
    return std::string(utf8Prefix(stem, kMaxStemBytes));
}

}  // namespace

std::vector<std::string> studentFileStems(const std::vector<std::string>& ids,
                                          const std::vector<std::string>& reserved) {
    std::set<std::string> used(reserved.begin(), reserved.end());
    std::vector<std::string> stems;
    stems.reserve(ids.size());
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const std::string base = fileStem(ids[k], k);
        std::string stem = base;
        for (int n = 2; !used.insert(stem).second; ++n)
            stem = base + "_" + std::to_string(n);
        stems.push_back(std::move(stem));
    }
    return stems;
}

}  // namespace qv
