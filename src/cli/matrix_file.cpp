#include "matrix_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace qv::cli {

namespace {

using Result = Expected<DistanceMatrix, std::string>;

constexpr std::int64_t kMaxWhole = 1'000'000'000;  // exclusive bound of |value|

struct Line {
    int number;
    std::string_view text;
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    int number = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back({number++, text.substr(start, i - start)});
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

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

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string lineError(int line, const std::string& what) {
    return "第 " + std::to_string(line) + " 行：" + what;
}

std::optional<int> parseCount(std::string_view s) {
    if (s.empty() || s.size() > 3) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (!isDigit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > kMaxMatrixConcepts) return std::nullopt;
    return n;
}

}  // namespace

Expected<Currency, std::string> parseDecimal(std::string_view s) {
    using R = Expected<Currency, std::string>;
    const std::string quoted = "「" + std::string(s) + "」";
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
    std::int64_t whole = 0, fraction = 0;
    int wholeDigits = 0, fractionDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++wholeDigits) {
        whole = whole * 10 + (s[i] - '0');
        if (whole >= kMaxWhole) return R::failure(quoted + "超出範圍（絕對值須小於 1000000000）");
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++fractionDigits) {
            if (fractionDigits == 4) return R::failure(quoted + "的小數超過四位");
            fraction = fraction * 10 + (s[i] - '0');
        }
    }
    if (i != s.size() || wholeDigits + fractionDigits == 0) return R::failure(quoted + "不是數值");
    for (int d = fractionDigits; d < 4; ++d)
        fraction *= 10;
    const std::int64_t raw = whole * Currency::kScale + fraction;
    return Currency::fromRaw(negative ? -raw : raw);
}

Result parseMatrixText(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Line> lines;
    for (const Line& line : splitLines(text))
        if (!fields(line.text).empty()) lines.push_back(line);
    if (lines.empty()) return Result::failure(lineError(1, "檔案是空的，應先寫概念數"));

    const std::vector<std::string_view> header = fields(lines[0].text);
    const std::optional<int> n = header.size() == 1 ? parseCount(header[0]) : std::nullopt;
    if (!n)
        return Result::failure(
            lineError(lines[0].number, "概念數須為 1 到 " + std::to_string(kMaxMatrixConcepts) +
                                           " 的整數，讀到「" + std::string(lines[0].text) + "」"));
    DistanceMatrix d(*n, *n);
    for (int r = 0; r < *n; ++r) {
        if (static_cast<std::size_t>(r) + 1 >= lines.size()) {
            const int end = splitLines(text).back().number;
            return Result::failure(lineError(
                end, "矩陣只有 " + std::to_string(r) + " 列，應有 " + std::to_string(*n) + " 列"));
        }
        const Line& line = lines[static_cast<std::size_t>(r) + 1];
        const std::vector<std::string_view> values = fields(line.text);
        if (static_cast<int>(values.size()) != *n)
            return Result::failure(
                lineError(line.number, "應有 " + std::to_string(*n) + " 個數值，實有 " +
                                           std::to_string(values.size()) + " 個"));
        for (int c = 0; c < *n; ++c) {
            const auto value = parseDecimal(values[static_cast<std::size_t>(c)]);
            if (!value.ok())
                return Result::failure(lineError(
                    line.number, "第 " + std::to_string(c + 1) + " 個數值" + value.error()));
            d(r, c) = *value;
        }
    }
    if (lines.size() > static_cast<std::size_t>(*n) + 1)
        return Result::failure(
            lineError(lines[static_cast<std::size_t>(*n) + 1].number, "矩陣之後還有多餘的資料"));
    return d;
}

Result readMatrixFile(const std::string& path) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ec))
        return Result::failure("無法開啟矩陣檔「" + path + "」");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return Result::failure("無法讀取矩陣檔「" + path + "」");
    Result parsed = parseMatrixText(text);
    if (!parsed.ok()) return Result::failure("矩陣檔「" + path + "」" + parsed.error());
    return parsed;
}

}  // namespace qv::cli
