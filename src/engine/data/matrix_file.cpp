#include "data/matrix_file.h"

#include <cassert>
#include <cstdint>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "core/limits.h"
#include "data/lines.h"
#include "data/loaders.h"
#include "data/parse_common.h"

namespace qv {

namespace {

using Result = Expected<DistanceMatrix>;

constexpr std::int64_t kMaxWhole = 1'000'000'000;  // exclusive bound of |value|

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

Error lineError(int line, std::string what) {
    return Error{{}, line, std::move(what), "矩陣檔"};
}

std::optional<int> parseCount(std::string_view s, int most) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (!detail::isAsciiDigit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > most) return std::nullopt;
    return n;
}

}  // namespace

Expected<Currency> parseDecimal(std::string_view s) {
    // Built only for a refusal: a large matrix has millions of values.
    const auto quoted = [s] { return "「" + detail::excerpt(s) + "」"; };
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
    std::int64_t whole = 0, fraction = 0;
    int wholeDigits = 0, fractionDigits = 0;
    for (; i < s.size() && detail::isAsciiDigit(s[i]); ++i, ++wholeDigits) {
        whole = whole * 10 + (s[i] - '0');
        if (whole >= kMaxWhole)
            return errorText(quoted() + "超出範圍（絕對值須小於 " + std::to_string(kMaxWhole) +
                             "）");
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && detail::isAsciiDigit(s[i]); ++i, ++fractionDigits) {
            if (fractionDigits == 4) return errorText(quoted() + "的小數超過四位");
            fraction = fraction * 10 + (s[i] - '0');
        }
    }
    if (i != s.size() || wholeDigits + fractionDigits == 0) return errorText(quoted() + "不是數值");
    for (int d = fractionDigits; d < 4; ++d)
        fraction *= 10;
    const std::int64_t raw = whole * Currency::kScale + fraction;
    return Currency::fromRaw(negative ? -raw : raw);
}

Result parseMatrixText(std::string_view text, int maxConcepts, std::vector<int>* rowLines) {
    if (auto problem = detail::encodingProblem(text)) return lineError(0, *problem);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::string_view> all = splitLineViews(text, LineEnds::CrOrLf);
    // Numbered from 1; blank lines count but hold nothing.
    std::vector<std::pair<int, std::string_view>> lines;
    for (std::size_t k = 0; k < all.size(); ++k)
        if (!fields(all[k]).empty()) lines.emplace_back(static_cast<int>(k) + 1, all[k]);
    if (lines.empty()) return lineError(1, "檔案是空的，應先寫概念數");

    const auto& [headerLine, headerText] = lines[0];
    const std::vector<std::string_view> header = fields(headerText);
    const std::optional<int> n =
        header.size() == 1 ? parseCount(header[0], maxConcepts) : std::nullopt;
    if (!n)
        return lineError(headerLine, "概念數須為 1 到 " + std::to_string(maxConcepts) +
                                         " 的整數，讀到「" + detail::excerpt(headerText) + "」");
    // A text too short for n rows of n values only has its error to find:
    // a header's count alone never takes the memory of a matrix.
    const auto size = static_cast<std::uint64_t>(*n);
    const bool fits = text.size() >= size * (2 * size - 1);
    DistanceMatrix d(fits ? *n : 0, fits ? *n : 0);
    for (int r = 0; r < *n; ++r) {
        if (static_cast<std::size_t>(r) + 1 >= lines.size()) {
            // The line after the last one, where the missing row should start.
            const bool terminated = !text.empty() && (text.back() == '\n' || text.back() == '\r');
            const int end = static_cast<int>(all.size()) + (terminated ? 1 : 0);
            return lineError(
                end, "矩陣只有 " + std::to_string(r) + " 列，應有 " + std::to_string(*n) + " 列");
        }
        const auto& [lineNumber, lineText] = lines[static_cast<std::size_t>(r) + 1];
        if (rowLines != nullptr) rowLines->push_back(lineNumber);
        const std::vector<std::string_view> values = fields(lineText);
        if (static_cast<int>(values.size()) != *n)
            return lineError(lineNumber, "應有 " + std::to_string(*n) + " 個數值，實有 " +
                                             std::to_string(values.size()) + " 個");
        for (int c = 0; c < *n; ++c) {
            const auto value = parseDecimal(values[static_cast<std::size_t>(c)]);
            if (!value.ok()) {
                Error e = lineError(lineNumber, value.error().what);
                e.field = c + 1;
                return e;
            }
            if (fits) d(r, c) = *value;
        }
    }
    assert(fits);
    if (lines.size() > static_cast<std::size_t>(*n) + 1)
        return lineError(lines[static_cast<std::size_t>(*n) + 1].first, "矩陣之後還有多餘的資料");
    return d;
}

std::optional<int> peekMatrixCount(const std::filesystem::path& path, int maxConcepts) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (detail::encodingProblem(head)) return std::nullopt;
    std::string_view text = head;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines = splitLineViews(text, LineEnds::CrOrLf);
    // The last line may have been cut off.
    if (!lines.empty() && head.size() == 4096) lines.pop_back();
    for (const std::string_view line : lines) {
        const std::vector<std::string_view> header = fields(line);
        if (header.empty()) continue;
        if (header.size() != 1) return std::nullopt;
        return parseCount(header[0], maxConcepts);
    }
    return std::nullopt;
}

Result readMatrixFile(const std::filesystem::path& path, int maxConcepts,
                      std::vector<int>* rowLines) {
    auto bytes = readFileBytes(path);
    if (!bytes) {
        Error e = bytes.error();
        e.file = path.string();
        e.kind = "矩陣檔";
        return e;
    }
    Result parsed = parseMatrixText(*bytes, maxConcepts, rowLines);
    if (!parsed) {
        Error e = parsed.error();
        e.file = path.string();
        return e;
    }
    return parsed;
}

std::string linkRowsText(const LinkMatrix& links, int n, std::string_view lineBreak) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (j > 0) text += "  ";
            text += links(i, j) != 0 ? '1' : '0';
        }
        text.append(lineBreak);
    }
    return text;
}

}  // namespace qv
