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
    bool found = false;
    const double value = roundHalfEven(leadingNumber(line, &found));
    const std::string noun = rule.noun;
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

std::optional<std::string> utf16Problem(std::string_view bytes) {
    const bool bom = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    // Without a mark: ASCII text in UTF-16 has a zero byte in every pair.
    const bool zeros = bytes.size() >= 4 && (bytes[0] == '\0' || bytes[1] == '\0') &&
                       (bytes[2] == '\0' || bytes[3] == '\0');
    if (!bom && !zeros) return std::nullopt;
    return std::string("這個檔案是 UTF-16 編碼，無法讀取：請以 UTF-8 或 Big5 編碼另存後再載入");
}

std::string excerpt(std::string_view text) {
    constexpr std::size_t kMax = 40;
    if (text.size() <= kMax) return std::string(text);
    return std::string(utf8Prefix(text, kMax)) + "…";
}

}  // namespace qv::detail
