#include "data/lines.h"

#include <algorithm>

namespace qv {

bool nextLineView(std::string_view text, std::size_t& pos, std::string_view& line, LineEnds ends) {
    if (pos >= text.size()) return false;
    const std::size_t end = text.find_first_of(ends == LineEnds::Cr ? "\r" : "\r\n", pos);
    if (end == std::string_view::npos) {
        line = text.substr(pos);
        pos = text.size();
        return true;
    }
    line = text.substr(pos, end - pos);
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    return true;
}

std::vector<std::string_view> splitLineViews(std::string_view text, LineEnds ends) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) + 1);
    std::size_t pos = 0;
    for (std::string_view line; nextLineView(text, pos, line, ends);)
        lines.push_back(line);
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
