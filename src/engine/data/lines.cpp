#include "data/lines.h"

#include <algorithm>

namespace qv {

std::vector<std::string_view> splitLineViews(std::string_view text, LineEnds ends) {
    const std::string_view enders = ends == LineEnds::Cr ? "\r" : "\r\n";
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) + 1);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(enders, start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::vector<std::string> splitLines(std::string_view text) {
    const auto views = splitLineViews(text);
    return {views.begin(), views.end()};
}

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t\n") == std::string_view::npos;
}

std::string_view withoutTrailingLf(std::string_view line) {
    while (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

}  // namespace qv
