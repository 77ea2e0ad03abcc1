#include "analysis/referent.h"

#include <algorithm>
#include <functional>

namespace qv {

namespace {

constexpr std::int64_t kWholePercent = 100'000;  // 100 % in thousandths

std::string percentText(std::int64_t thousandths) {
    std::string text = std::to_string(thousandths / 1000);
    if (const std::int64_t part = thousandths % 1000; part != 0) {
        std::string decimals = std::to_string(1000 + part).substr(1);
        while (decimals.back() == '0') decimals.pop_back();
        text += "." + decimals;
    }
    return text;
}

// The cut rank of the rule, ceil(P * N / 100), at least 1 for N >= 1; P is
// at most 100'000 thousandths, so the product fits for any class.
std::size_t cutRank(std::size_t count, std::int64_t thousandths) {
    const auto p = static_cast<std::uint64_t>(thousandths);
    return static_cast<std::size_t>((p * count + kWholePercent - 1) / kWholePercent);
}

template <typename Before>
std::optional<std::int32_t> cutOf(std::vector<std::int32_t> scores, std::int64_t thousandths,
                                  Before before) {
    if (scores.empty()) return std::nullopt;
    const std::size_t rank = std::clamp<std::size_t>(cutRank(scores.size(), thousandths), 1,
                                                     scores.size());
    std::nth_element(scores.begin(), scores.begin() + static_cast<std::ptrdiff_t>(rank - 1),
                     scores.end(), before);
    return scores[rank - 1];
}

std::vector<std::int32_t> scoresOf(const std::vector<Student>& students) {
    std::vector<std::int32_t> scores;
    scores.reserve(students.size());
    for (const Student& s : students) scores.push_back(s.score);
    return scores;
}

}  // namespace

Expected<std::int64_t> parsePercent(std::string_view text) {
    const auto refused = [&] {
        return errorText("百分比必須是大於 0、至多 100 的數，最多三位小數，讀到「" +
                         std::string(text) + "」。");
    };
    std::int64_t whole = 0, part = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (!point) {
                if (++digits > 3) return refused();
                whole = whole * 10 + (c - '0');
            } else {
                if (++decimals > 3) return refused();
                part = part * 10 + (c - '0');
            }
        } else {
            return refused();
        }
    }
    if (digits == 0 && decimals == 0) return refused();
    for (int k = decimals; k < 3; ++k) part *= 10;
    const std::int64_t thousandths = whole * 1000 + part;
    if (thousandths <= 0 || thousandths > kWholePercent) return refused();
    return thousandths;
}

Expected<Referent> parseReferent(std::string_view text) {
    Referent referent;
    if (text == "design") return referent;
    if (text == "class") {
        referent.kind = Referent::Kind::Class;
        return referent;
    }
    if (text.starts_with("best:")) {
        auto percent = parsePercent(text.substr(5));
        if (!percent) return errorText("--referent best:P 的 P：" + percent.error().what);
        referent.kind = Referent::Kind::Best;
        referent.bestThousandths = *percent;
        return referent;
    }
    if (text.starts_with("matrix:")) {
        referent.kind = Referent::Kind::Matrix;
        std::string_view rest = text.substr(7);
        while (true) {
            const std::size_t comma = rest.find(',');
            const std::string_view file = rest.substr(0, comma);
            if (file.empty())
                return errorText("--referent matrix: 之後須列出距離矩陣檔，以逗號分隔，讀到「" +
                                 std::string(text) + "」。");
            referent.files.emplace_back(file);
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
        return referent;
    }
    return errorText("--referent 須為 design、best:P、class 或 matrix:檔案[,檔案…]，讀到「" +
                     std::string(text) + "」。");
}

std::string referentKey(const ReferentChoice& referent) {
    switch (referent.kind) {
        case ReferentKind::Design:
            return "design";
        case ReferentKind::Best:
            return "best:" + percentText(referent.bestThousandths);
        case ReferentKind::Class:
            return "class";
        case ReferentKind::Matrix:
            return "matrix";
    }
    return {};
}

std::string referentLabel(const ReferentChoice& referent) {
    switch (referent.kind) {
        case ReferentKind::Design:
            return "題目設計";
        case ReferentKind::Best:
            return "前 " + percentText(referent.bestThousandths) + "% 學生";
        case ReferentKind::Class:
            return "全班學生";
        case ReferentKind::Matrix:
            return "距離矩陣檔";
    }
    return {};
}

std::string referentName(const ReferentChoice& referent) {
    return "參照：" + referentLabel(referent);
}

std::optional<std::int32_t> topScoreCut(std::vector<std::int32_t> scores,
                                        std::int64_t thousandths) {
    return cutOf(std::move(scores), thousandths, std::greater<>());
}

std::vector<bool> topScorers(const std::vector<Student>& students, std::int64_t thousandths) {
    const auto cut = topScoreCut(scoresOf(students), thousandths);
    std::vector<bool> in(students.size());
    for (std::size_t k = 0; k < students.size(); ++k) in[k] = students[k].score >= *cut;
    return in;
}

std::vector<bool> bottomScorers(const std::vector<Student>& students, std::int64_t thousandths) {
    const auto cut = cutOf(scoresOf(students), thousandths, std::less<>());
    std::vector<bool> in(students.size());
    for (std::size_t k = 0; k < students.size(); ++k) in[k] = students[k].score <= *cut;
    return in;
}

}  // namespace qv
