#include "data/lines.h"

#include <algorithm>

namespace qv {

bool nextLineView(std::string_view text, std::size_t& pos, std::string_view& line, LineEnds ends) {
    if (pos >= text.size()) return false;
    // One scan of the line; find_first_of would look each byte up in the set.
    std::size_t end = std::string_view::npos;
    if (ends == LineEnds::Cr) {
        end = text.find('\r', pos);
    } else {
        const auto at = std::find_if(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(),
                                     [](char c) { return c == '\r' || c == '\n'; });
        if (at != text.end()) end = static_cast<std::size_t>(at - text.begin());
    }
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
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
}

std::string_view withoutTrailingLf(std::string_view line) {
    while (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

}  // namespace qv
