#include "data/concept_file.h"

#include "data/lines.h"
#include "data/parse_common.h"
#include "data/text_codec.h"

namespace qv {

namespace {

using Result = Expected<ConceptNotes>;

constexpr detail::CountRule kConceptCount{"概念數", kMaxConcepts, "網路演算法最多處理 181 個概念"};

// The label is the line from its first space on; trailing blanks are dropped
// but the separating space stays, so a label always begins with it.
std::string labelOf(std::string_view line, std::size_t space) {
    std::string_view rest = line.substr(space + 1);
    const std::size_t end = rest.find_last_not_of(" \t\n\r\v\f");
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(0, end + 1);
    std::string label(" ");
    label.append(rest);
    return label;
}

Result readConcepts(std::string_view text, std::string_view fileName) {
    const auto fail = [&](int line, std::string what) {
        return Result::failure(Error{std::string(fileName), line, std::move(what)});
    };
    const auto lines = splitLineViews(text);
    if (lines.empty()) return fail(0, "檔案是空的：第 1 行必須是概念數");
    if (auto problem = detail::loneLfProblem(lines[0])) return fail(1, *problem);
    ConceptNotes notes;
    if (auto problem = detail::readCount(lines[0], kConceptCount, notes.count))
        return fail(1, *problem);
    notes.names.assign(static_cast<std::size_t>(notes.count), std::string());
    std::size_t next = 0;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        if (isBlankLine(line)) continue;
        const int lineNo = static_cast<int>(n + 1);
        if (auto problem = detail::loneLfProblem(line)) return fail(lineNo, *problem);
        if (next == notes.names.size()) {
            return fail(lineNo, "概念行比第 1 行的概念數 " + std::to_string(notes.count) +
                                    " 多：這是第 " + std::to_string(next + 1) + " 個概念");
        }
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return fail(lineNo, "這一行沒有空白，無法分出概念編號與概念名稱");
        notes.names[next++] = labelOf(line, space);
    }
    return notes;
}

}  // namespace

Expected<ConceptNotes> parseConceptFile(std::string_view bytes, std::string_view fileName) {
    return readConcepts(decodeText(bytes), fileName);
}

void applyConceptNotes(ClassData& data, ConceptNotes&& notes) {
    data.conceptCount = notes.count;
    data.conceptNames = std::move(notes.names);
    data.conceptsLoaded = true;
}

}  // namespace qv
