#include "data/item_concept_file.h"

#include <string>

#include "core/number_text.h"
#include "data/lines.h"
#include "data/parse_common.h"
#include "data/text_codec.h"

namespace qv {

namespace {

using Result = Expected<ItemConceptTable>;

constexpr detail::CountRule kItemCount{"題數", kMaxItems, "系統最多處理 10000 題"};

// A plain decimal number: optional sign, digits, optionally a point and digits.
bool isPlainNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const std::size_t intStart = i;
    while (i < s.size() && detail::isAsciiDigit(s[i]))
        ++i;
    bool digits = i > intStart;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < s.size() && detail::isAsciiDigit(s[i]))
            ++i;
        digits = digits || i > fracStart;
    }
    return digits && i == s.size();
}

std::string_view trimBlanks(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\n");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\n") - first + 1);
}

// The concept named by the text between two commas, 0-based.
std::optional<std::string> conceptOf(std::string_view entry, std::int32_t conceptCount,
                                     std::int32_t& column) {
    const std::string_view number = trimBlanks(entry);
    if (number.empty()) return std::string("有一個空的概念編號：兩個逗號之間沒有數字");
    const std::string range = "1 到 " + std::to_string(conceptCount);
    if (!isPlainNumber(number)) {
        return "「" + detail::excerpt(number) + "」不是概念編號：逗號之間只能寫 " + range +
               " 的數字";
    }
    const double value = roundHalfEven(leadingNumber(number));
    if (!(value >= 1 && value <= conceptCount)) {
        return "概念編號 " + numberText(value) + " 不在 " + range + " 之間（概念註解檔有 " +
               std::to_string(conceptCount) + " 個概念）";
    }
    column = static_cast<std::int32_t>(value) - 1;
    return std::nullopt;
}

// Marks the concepts of one item line. Without a space the whole line is read.
std::optional<std::string> readItem(std::string_view line, int row, ItemMatrix& matrix) {
    const std::size_t space = line.find(' ');
    std::size_t pos = space == std::string_view::npos ? 0 : space + 1;
    for (std::size_t comma; (comma = line.find(',', pos)) != std::string_view::npos;
         pos = comma + 1) {
        std::int32_t column = 0;
        if (auto problem = conceptOf(line.substr(pos, comma - pos), matrix.cols(), column))
            return problem;
        matrix(row, column) = Currency::fromInt(1);
    }
    return std::nullopt;
}

Result readTable(std::string_view text, std::string_view fileName, std::int32_t conceptCount) {
    const auto fail = [&](int line, std::string what) {
        return Result::failure(Error{std::string(fileName), line, std::move(what)});
    };
    const auto lines = splitLineViews(text);
    if (lines.empty()) return fail(0, "檔案是空的：第 1 行必須是題數");
    if (auto problem = detail::loneLfProblem(lines[0])) return fail(1, *problem);
    ItemConceptTable table;
    if (auto problem = detail::readCount(lines[0], kItemCount, table.itemCount))
        return fail(1, *problem);
    table.matrix = ItemMatrix(table.itemCount, conceptCount);
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n + 1);
        const std::string_view line = lines[n];
        if (auto problem = detail::loneLfProblem(line)) return fail(lineNo, *problem);
        if (n > static_cast<std::size_t>(table.itemCount)) {
            if (isBlankLine(line)) continue;
            return fail(lineNo, "第 1 行的題數是 " + std::to_string(table.itemCount) +
                                    "，這一行卻是第 " + std::to_string(n) + " 題：題目行太多");
        }
        if (auto problem = readItem(line, static_cast<int>(n - 1), table.matrix))
            return fail(lineNo, *problem);
    }
    return table;
}

}  // namespace

Expected<ItemConceptTable> parseItemConceptFile(std::string_view bytes, std::string_view fileName,
                                                std::int32_t conceptCount, bool conceptsLoaded) {
    if (!conceptsLoaded || conceptCount < 1 || conceptCount > kMaxConcepts) {
        return Result::failure(
            Error{std::string(fileName), 0,
                  "請先載入概念註解檔：題目所包含概念檔的概念編號要依概念數來讀"});
    }
    return readTable(decodeText(bytes), fileName, conceptCount);
}

void applyItemConcept(ClassData& data, ItemConceptTable&& table) {
    data.itemCount = table.itemCount;
    data.itemConcept = std::move(table.matrix);
    data.itemConceptLoaded = true;
}

}  // namespace qv
