#include "data/student_warnings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "core/utf8.h"
#include "data/lines.h"
#include "data/parse_common.h"

namespace qv {

namespace {

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\u3000';
}
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}
bool isUpper(char32_t c) {
    return c >= U'A' && c <= U'Z';
}
bool isLower(char32_t c) {
    return c >= U'a' && c <= U'z';
}

std::string text(char32_t c) {
    return toUtf8(std::u32string_view(&c, 1));
}

// A character as a message names it; blanks and control characters are
// invisible in a quote.
std::string named(char32_t c) {
    if (c == U' ') return "空白";
    if (c == U'\t') return "定位字元（Tab）";
    if (c == U'\u3000') return "全形空白";
    if (isControl(c)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return std::string("控制字元 ") + code;
    }
    return "「" + text(c) + "」";
}

// An ID with its invisible characters written out.
std::string shownId(const std::u32string& id) {
    std::string out;
    for (const char32_t c : id)
        out += isControl(c) || c == U'\u3000' ? "〈" + (c == U'\t' ? "Tab" : named(c)) + "〉"
                                              : text(c);
    return out;
}

// The answers regrouped as the reader wants them: five, a space, five.
std::string grouped(const std::u32string& answers) {
    std::u32string out;
    for (std::size_t m = 0; m < answers.size(); ++m) {
        if (m > 0 && m % 5 == 0) out += U' ';
        out += answers[m];
    }
    return detail::excerpt(toUtf8(out));
}

// An ASCII letter's case as a bit: 1 upper, 2 lower, 0 for anything else; two
// letters of different case give 3 together.
std::uint8_t caseBit(char32_t c) {
    return isUpper(c) ? 1 : isLower(c) ? 2 : 0;
}

struct Rules {
    std::u32string key;
    std::u32string known;  // sorted: the key's characters and the one-character codes
    std::array<bool, 128> knownAscii{};
    std::vector<std::uint8_t> keyCase;         // caseBit of each key character
    std::array<std::uint8_t, 128> byteKind{};  // caseBit, and 4 for a character not known

    bool knows(char32_t c) const {
        if (c < 128) return knownAscii[c];
        return std::binary_search(known.begin(), known.end(), c);
    }

    // Whether a line needs the full walk below: one pass over its bytes that
    // may answer yes for nothing (any byte beyond ASCII) but never answers no
    // for a line the walk would warn of. Most lines of a class are clean, and
    // this keeps them to a few instructions a byte.
    bool mayWarn(std::string_view id, std::string_view part) const {
        unsigned odd = 0;
        for (const char c : id) {
            const auto b = static_cast<unsigned char>(c);
            odd |= static_cast<unsigned>(b < 0x20 || b >= 0x7F);
        }
        std::size_t i = 0, m = 0;
        for (int group = 0; m < key.size() && i < part.size(); ++m) {
            const auto a = static_cast<unsigned char>(part[i++]);
            if (a >= 0x80) return true;
            // Without branches: most answers of a class are wrong somewhere.
            const unsigned kind = byteKind[a];
            odd |= (kind >> 2) | static_cast<unsigned>(((kind | keyCase[m]) & 3) == 3);
            if (++group < 5 || i >= part.size() || m + 1 == key.size()) continue;
            group = 0;
            const auto separator = static_cast<unsigned char>(part[i++]);
            if (separator >= 0x80) return true;
            odd |= static_cast<unsigned>(knownAscii[separator] && separator != ' ' &&
                                         separator != '\t');
        }
        std::string_view rest = part.substr(std::min(i, part.size()));
        if (m == key.size() && m % 5 == 0 && !rest.empty() &&
            (static_cast<unsigned char>(rest[0]) >= 0x80 ||
             !knownAscii[static_cast<unsigned char>(rest[0])]))
            rest.remove_prefix(1);
        return odd != 0 || rest.find_first_not_of(" \t") != std::string_view::npos;
    }
};

// A code that one answer character can equal; nothing for a longer code.
std::optional<char32_t> codeOf(std::string_view line) {
    std::u32string code = toCodePoints(withoutTrailingLf(line));
    std::erase_if(code, isBlank);
    if (code.size() != 1) return std::nullopt;
    return code[0];
}

// Every line is walked in place: a class of a million students is checked
// in the time it takes to read it, and only a warning builds text.
class LineCheck {
  public:
    LineCheck(const Rules& rules, int line, std::vector<LineWarning>& out)
        : rules_(rules), line_(line), out_(out) {}

    void id(std::string_view id) {
        for (std::size_t i = 0; i < id.size();) {
            const char32_t c = detail::nextCodePoint(id, i);
            if (!isControl(c) && c != U'\u3000') continue;
            add("學號「" + shownId(toCodePoints(id)) + "」含有" + named(c) +
                "：學號一直讀到第一個半形空白，答案因而錯位；學號與答案之間須是一個半形空白");
            return;
        }
    }

    // Walks the answers as the reader takes them, noting what looks wrong.
    void answers(std::string_view part) {
        const std::u32string& key = rules_.key;
        std::size_t i = 0, m = 0;
        for (; m < key.size() && i < part.size(); ++m) {
            answer(m, detail::nextCodePoint(part, i));
            if ((m + 1) % 5 != 0 || i >= part.size() || m + 1 == key.size()) continue;
            const char32_t separator = detail::nextCodePoint(part, i);
            // Before it: m + 1 answers and a separator after each full group but this one.
            if (!skipped_ && !isBlank(separator) && rules_.knows(separator))
                skipped_ = {m + 1 + m / 5, separator};
        }
        std::string_view rest = part.substr(std::min(i, part.size()));
        // The separator after a last full group may be there or not.
        if (m == key.size() && m % 5 == 0 && !rest.empty()) {
            std::size_t next = 0;
            if (!rules_.knows(detail::nextCodePoint(rest, next)))
                rest.remove_prefix(std::min(next, rest.size()));
        }
        report(part, rest);
    }

  private:
    void answer(std::size_t m, char32_t a) {
        const char32_t k = rules_.key[m];
        if (a == k) return;
        if ((isLower(a) && isUpper(k)) || (isUpper(a) && isLower(k))) {
            if (caseCount_++ == 0) firstCase_ = {m, a};
        } else if (!rules_.knows(a)) {
            if (foreignCount_++ == 0) firstForeign_ = {m, a};
        }
    }

    void report(std::string_view part, std::string_view rest) {
        if (skipped_) {
            std::string what = "答案沒有每五個一組隔開：答案的第 " +
                               std::to_string(skipped_->first + 1) + " 個字元" +
                               named(skipped_->second) + "被當成分隔字元略過，其後的答案都錯開一題";
            const std::u32string answers = toCodePoints(part);
            if (std::none_of(answers.begin(), answers.end(), isBlank))
                what += "；請寫成「" + grouped(answers) + "」";
            add(std::move(what));
        }
        if (caseCount_ > 0) {
            const bool lower = isLower(firstCase_.second);
            add(count(caseCount_) + "答案是" + (lower ? "小寫" : "大寫") + "字母，標準答案卻是" +
                (lower ? "大寫" : "小寫") + "（" + item(firstCase_) + "）：大小寫不同的答案算答錯");
        }
        if (foreignCount_ > 0) {
            add(count(foreignCount_) + "答案不在標準答案的字元中，也不是遺失或錯誤資料代碼（" +
                item(firstForeign_) + "）：這樣的答案算答錯");
        }
        if (rest.find_first_not_of(" \t") != std::string_view::npos && !isBlankText(rest)) {
            add("答案超過標準答案的 " + std::to_string(rules_.key.size()) + " 題：第 " +
                std::to_string(rules_.key.size()) + " 題之後的「" + detail::excerpt(rest) +
                "」不會讀入");
        }
    }

    static bool isBlankText(std::string_view text) {
        const std::u32string chars = toCodePoints(text);
        return std::all_of(chars.begin(), chars.end(), isBlank);
    }

    static std::string count(int n) { return n > 1 ? "有 " + std::to_string(n) + " 個" : ""; }
    static std::string item(std::pair<std::size_t, char32_t> at) {
        return "第 " + std::to_string(at.first + 1) + " 題的答案是" + named(at.second);
    }
    void add(std::string what) { out_.push_back({line_, std::move(what)}); }

    const Rules& rules_;
    int line_;
    std::vector<LineWarning>& out_;
    std::optional<std::pair<std::size_t, char32_t>> skipped_;  // where, in characters, and what
    int caseCount_ = 0, foreignCount_ = 0;
    std::pair<std::size_t, char32_t> firstCase_, firstForeign_;
};

}  // namespace

std::vector<LineWarning> studentLineWarnings(std::string_view text) {
    std::vector<LineWarning> warnings;
    std::size_t pos = 0;
    std::string_view head[3];
    for (auto& line : head)
        if (!nextLineView(text, pos, line)) return warnings;
    Rules rules;
    rules.key = toCodePoints(withoutTrailingLf(head[2]));
    rules.known = rules.key;
    for (int n = 0; n < 2; ++n)
        if (const auto code = codeOf(head[n])) rules.known += *code;
    std::sort(rules.known.begin(), rules.known.end());
    for (const char32_t c : rules.known)
        if (c < 128) rules.knownAscii[c] = true;
    for (const char32_t c : rules.key)
        rules.keyCase.push_back(caseBit(c));
    for (char32_t c = 0; c < 128; ++c)
        rules.byteKind[c] = static_cast<std::uint8_t>(caseBit(c) | (rules.knownAscii[c] ? 0 : 4));
    int lineNo = 3;
    std::string_view line;
    while (nextLineView(text, pos, line)) {
        ++lineNo;
        line = withoutTrailingLf(line);
        const std::size_t space = line.find(' ');
        if (isBlankLine(line) || space == std::string_view::npos || space == 0) continue;
        const std::string_view id = line.substr(0, space), part = line.substr(space + 1);
        if (!rules.mayWarn(id, part)) continue;
        LineCheck check(rules, lineNo, warnings);
        check.id(id);
        check.answers(part);
    }
    return warnings;
}

}  // namespace qv
