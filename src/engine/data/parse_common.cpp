#include "data/parse_common.h"

#include "core/number_text.h"
#include "core/utf8.h"
#include "data/lines.h"

namespace qv::detail {

const char* const kCrLfNote =
    "每一行必須以 CR LF 結尾，這個檔案卻只用 LF 換行（其他系統產生的檔案常有這種情形），"
    "請改成 CR LF 換行後再載入";

std::optional<std::string> loneLfProblem(std::string_view line) {
    const std::size_t lf = line.find('\n');
    if (lf == std::string_view::npos || isBlankLine(line.substr(lf))) return std::nullopt;
    return std::string("這一行中間有單獨的 LF 換行，後面還有文字：") + kCrLfNote;
}

bool hasLfWithoutCr(std::string_view text) {
    return text.find('\r') == std::string_view::npos && text.find('\n') != std::string_view::npos;
}

std::optional<std::string> readCount(std::string_view line, const CountRule& rule,
                                     std::int32_t& count) {
    const std::string noun = rule.noun;
    // A number of more characters than any count has would take long to read
    // and come out as infinity: refused at once.
    constexpr std::size_t kMaxCountText = 64;
    std::size_t numberChars = 0;
    for (const char c : line) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        if (!isAsciiDigit(c) && std::string_view("+-.eEdD").find(c) == std::string_view::npos)
            break;
        if (++numberChars > kMaxCountText)
            return noun + "的數字太長（超過 " + std::to_string(kMaxCountText) + " 個字元）";
    }
    bool found = false;
    const double value = roundHalfEven(leadingNumber(line, &found));
    if (!found) return "這一行沒有數字：第 1 行必須是" + noun;
    if (value < 0) return noun + " " + numberText(value) + " 不可以是負數";
    if (value < 1) return noun + "是 0：至少要有 1 個";
    if (!(value <= rule.max)) {
        return noun + " " + numberText(value) + " 超過系統的上限 " + std::to_string(rule.max) +
               "（" + rule.limitWhy + "）";
    }
    count = static_cast<std::int32_t>(value);
    return std::nullopt;
}

std::optional<std::string> encodingProblem(std::string_view bytes) {
    const auto saveAs = [](const char* what) {
        return std::string("這個檔案是 ") + what +
               " 編碼，無法讀取：請以 UTF-8 或 Big5 編碼另存後再載入";
    };
    // Looked at only as far as a text's first characters show its encoding.
    const std::string_view head = bytes.substr(0, 64);
    if (!head.empty() && head.find_first_not_of('\0') == std::string_view::npos)
        return std::string("這個檔案開頭全是 NUL（0）位元組，不是文字檔");
    const auto zero = [&](std::size_t i) { return i < bytes.size() && bytes[i] == '\0'; };
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
        bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return saveAs("UTF-32");
    // Without a mark: ASCII text in UTF-32 has three zero bytes in every four.
    if (bytes.size() >= 4 && ((zero(1) && zero(2) && zero(3)) || (zero(0) && zero(1) && zero(2))))
        return saveAs("UTF-32");
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return saveAs("UTF-16");
    // ASCII text in UTF-16 has a zero byte in every pair.
    if (bytes.size() >= 4 && (zero(0) || zero(1)) && (zero(2) || zero(3))) return saveAs("UTF-16");
    return std::nullopt;
}

std::string excerpt(std::string_view text) {
    constexpr std::size_t kMax = 40;
    if (text.size() <= kMax) return std::string(text);
    return std::string(utf8Prefix(text, kMax)) + "…";
}

}  // namespace qv::detail
