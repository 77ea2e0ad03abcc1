#include <array>

#include "core/utf8.h"
#include "data/parse_common.h"
#include "data/sheet.h"
#include "data/text_codec.h"

namespace qv {

namespace {

// UTF-16 after its byte order mark; a lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = U'\uFFFD';
        appendUtf8(out, u);
    }
    return out;
}

Expected<std::string> csvText(std::string_view bytes, std::string_view fileName) {
    const auto problem = detail::encodingProblem(bytes);
    if (problem && problem->find("UTF-32") != std::string::npos)
        return Error{std::string(fileName), 0, *problem};
    if (bytes.starts_with("\xFF\xFE")) return utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return utf16ToUtf8(bytes.substr(2), true);
    if (problem) return Error{std::string(fileName), 0, *problem};
    return decodeText(bytes);
}

// The delimiter the first record holds most of (outside quotes); a comma
// when it holds none, as a sheet of one column does.
char detectDelimiter(std::string_view text) {
    constexpr std::array<char, 3> kCandidates = {',', ';', '\t'};
    std::array<std::size_t, 3> counts{};
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        for (std::size_t k = 0; k < kCandidates.size(); ++k)
            counts[k] += c == kCandidates[k];
    }
    std::size_t best = 0;
    for (std::size_t k = 1; k < kCandidates.size(); ++k)
        if (counts[k] > counts[best]) best = k;
    return kCandidates[best];
}

}  // namespace

Expected<Sheet> readCsv(std::string_view bytes, std::string_view fileName) {
    auto decoded = csvText(bytes, fileName);
    if (!decoded) return decoded.error();
    const std::string_view text = *decoded;
    const char delimiter = detectDelimiter(text);
    Sheet sheet;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        sheet.startRow();
        // One record: fields until a line end outside quotes.
        for (;;) {
            sheet.addCell({});
            if (i < n && text[i] == '"') {
                const std::size_t row = sheet.rowCount() - 1;
                const std::size_t column = sheet.cellsInRow(row) - 1;
                ++i;
                for (;;) {
                    const std::size_t quote = text.find('"', i);
                    if (quote == std::string_view::npos) {
                        return cellError(fileName, sheet, row, column,
                                         "引號沒有結束：以「\"」開頭的欄位必須以「\"」結束");
                    }
                    sheet.appendToCell(text.substr(i, quote - i));
                    i = quote + 1;
                    if (i < n && text[i] == '"') {
                        sheet.appendToCell("\"");
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            // Unquoted text, or what follows a closing quote, up to the field's end.
            const std::size_t start = i;
            while (i < n && text[i] != delimiter && text[i] != '\r' && text[i] != '\n')
                ++i;
            if (i > start) sheet.appendToCell(text.substr(start, i - start));
            if (i < n && text[i] == delimiter) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
        sheet.trimRow();
    }
    return sheet;
}

}  // namespace qv
