#include "data/class_import.h"

#include <charconv>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "core/limits.h"
#include "core/utf8.h"
#include "data/loaders.h"
#include "data/parse_common.h"
#include "data/safe_file.h"
#include "data/text_codec.h"

namespace qv {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// The missing-data and error-data codes of the file; an empty answer is written as the first.
constexpr char kMissingCode = '8';
constexpr char kErrorCode = '9';

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isBlank(char32_t c) {
    return c == ' ' || c == 0xA0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x1680;
}

// The code points of a trimmed cell, up to `max` + 1 of them.
std::u32string codePoints(std::string_view s, std::size_t max) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size() && out.size() <= max;)
        out.push_back(detail::nextCodePoint(s, i));
    return out;
}

bool hasControl(std::string_view s) {
    for (std::size_t i = 0; i < s.size();)
        if (isControl(detail::nextCodePoint(s, i))) return true;
    return false;
}

std::string inQuotes(std::string_view s) {
    return "「" + detail::excerpt(s) + "」";
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One answer (or key) character from a cell: nothing for an empty cell.
Expected<std::optional<char32_t>> oneCharacter(const NamedSheet& in, std::size_t row,
                                               std::size_t column, const char* what) {
    const std::string_view text = trimmed(in.sheet.cell(row, column));
    if (text.empty()) return std::optional<char32_t>{};
    const std::u32string chars = codePoints(text, 1);
    if (chars.size() > 1 || isControl(chars[0])) {
        return cellError(in.fileName, in.sheet, row, column,
                         std::string(what) + "必須是一個字元，讀到" + inQuotes(text));
    }
    return std::optional<char32_t>(chars[0]);
}

class AnswerReader {
  public:
    AnswerReader(const NamedSheet& in, const AnswerLayout& layout) : in_(in), layout_(layout) {}

    Expected<void> read(std::u32string& key, std::string& studentLines, std::size_t& count) {
        if (auto cols = itemColumns(); !cols) return cols.error();
        if (auto found = readKey(key); !found) return found.error();
        return readStudents(key, studentLines, count);
    }

    std::size_t itemCount() const { return last_ - first_ + 1; }
    std::optional<std::size_t> keyRow() const { return keyRow_; }

  private:
    Error fail(std::string what) const {
        Error e{std::string(in_.fileName), 0, std::move(what)};
        e.sheet = in_.sheet.name;
        return e;
    }

    Expected<void> itemColumns() {
        const std::size_t width = in_.sheet.columnCount();
        const std::size_t id = layout_.idColumn;
        if (id >= width)
            return fail("學號欄 " + columnLetters(id) + " 超出工作表：最後一欄是 " +
                        (width == 0 ? std::string("（空的工作表）") : columnLetters(width - 1)));
        if (layout_.items) {
            std::tie(first_, last_) = *layout_.items;
        } else {
            first_ = id + 1;
            last_ = width - 1;
            if (first_ > last_) return fail("學號欄之後沒有題目欄");
        }
        if (first_ > last_) return fail("題目欄的範圍是空的");
        if (last_ >= width) {
            return fail("題目欄 " + columnLetters(first_) + ":" + columnLetters(last_) +
                        " 超出工作表：最後一欄是 " + columnLetters(width - 1));
        }
        if (id >= first_ && id <= last_) return fail("題目欄不可以包含學號欄 " + columnLetters(id));
        if (itemCount() > static_cast<std::size_t>(kMaxItems)) {
            return fail("有 " + std::to_string(itemCount()) + " 個題目欄，超過系統的上限 " +
                        std::to_string(kMaxItems) + " 題");
        }
        return {};
    }

    bool isBlankRow(std::size_t row) const {
        if (!trimmed(in_.sheet.cell(row, layout_.idColumn)).empty()) return false;
        for (std::size_t c = first_; c <= last_; ++c)
            if (!trimmed(in_.sheet.cell(row, c)).empty()) return false;
        return true;
    }

    Expected<void> readKey(std::u32string& key) {
        if (layout_.key) {
            for (char32_t c : codePoints(*layout_.key, std::string::npos)) {
                if (isBlank(c) || c == '\t') continue;
                if (isControl(c)) return fail("標準答案含有控制字元");
                key.push_back(c);
            }
            if (key.size() != itemCount()) {
                return fail("標準答案有 " + std::to_string(key.size()) + " 個字元，題目欄卻有 " +
                            std::to_string(itemCount()) + " 題");
            }
            return {};
        }
        for (std::size_t r = 1; r < in_.sheet.rowCount() && !keyRow_; ++r) {
            const std::string_view id = trimmed(in_.sheet.cell(r, layout_.idColumn));
            if (layout_.keyLabel ? sameIgnoringAsciiCase(id, trimmed(*layout_.keyLabel))
                                 : isDefaultKeyLabel(id))
                keyRow_ = r;
        }
        if (keyRow_) {
            for (std::size_t c = first_; c <= last_; ++c) {
                auto answer = oneCharacter(in_, *keyRow_, c, "標準答案");
                if (!answer) return answer.error();
                if (!*answer)
                    return cellError(in_.fileName, in_.sheet, *keyRow_, c, "標準答案是空的");
                key.push_back(**answer);
            }
            return {};
        }
        if (layout_.keyLabel)
            return fail("找不到學號欄為" + inQuotes(*layout_.keyLabel) + "的標準答案列");
        // Without a key the sheet may hold scores already: 1 right, 0 wrong.
        for (std::size_t r = 1; r < in_.sheet.rowCount(); ++r) {
            for (std::size_t c = first_; c <= last_; ++c) {
                const std::string_view t = trimmed(in_.sheet.cell(r, c));
                if (!t.empty() && t != "0" && t != "1") {
                    return fail(
                        "找不到標準答案：沒有學號欄為「答案」、「標準答案」、「正確答案」或"
                        "「key」的列，答案也不全是 0 或 1（例如 " +
                        cellName(r, c) + " 是" + inQuotes(t) + "）");
                }
            }
        }
        key.assign(itemCount(), U'1');
        return {};
    }

    Expected<void> readStudents(const std::u32string& key, std::string& out, std::size_t& count) {
        std::unordered_map<std::string_view, std::size_t> seen;
        const std::size_t idColumn = layout_.idColumn;
        std::u32string answers;
        for (std::size_t r = 1; r < in_.sheet.rowCount(); ++r) {
            if (r == keyRow_ || isBlankRow(r)) continue;
            const std::string_view id = trimmed(in_.sheet.cell(r, idColumn));
            if (id.empty()) return cellError(in_.fileName, in_.sheet, r, idColumn, "學號是空的");
            for (char32_t c : codePoints(id, std::string::npos)) {
                if (isBlank(c) || isControl(c)) {
                    return cellError(in_.fileName, in_.sheet, r, idColumn,
                                     "學號不可以含有空白或控制字元，讀到" + inQuotes(id));
                }
            }
            if (auto [at, added] = seen.emplace(id, r); !added) {
                return cellError(in_.fileName, in_.sheet, r, idColumn,
                                 "學號" + inQuotes(id) + "重複：" + cellName(at->second, idColumn) +
                                     " 已經是這個學號");
            }
            out.append(id).push_back(' ');
            for (std::size_t c = first_; c <= last_; ++c) {
                const std::size_t m = c - first_;
                auto answer = oneCharacter(in_, r, c, "答案");
                if (!answer) return answer.error();
                if (!*answer && key[m] == U'8') {
                    return cellError(in_.fileName, in_.sheet, r, c,
                                     "答案是空的，而這一題的標準答案正是遺失資料代碼 8："
                                     "空白會被算成答對");
                }
                if (m > 0 && m % 5 == 0) out.push_back(' ');
                if (*answer) {
                    appendUtf8(out, **answer);
                } else {
                    out.push_back(kMissingCode);
                }
            }
            out.append(kCrLf);
            ++count;
        }
        if (count == 0) return fail("答案表沒有學生資料列");
        return {};
    }

    const NamedSheet& in_;
    const AnswerLayout& layout_;
    std::size_t first_ = 0, last_ = 0;
    std::optional<std::size_t> keyRow_;
};

struct QMatrix {
    std::vector<std::string> labels;
    std::string itemLines;
    std::size_t items = 0;
};

Expected<QMatrix> readQMatrix(const NamedSheet& in, std::size_t itemCount) {
    const Sheet& sheet = in.sheet;
    const auto refuse = [&](std::size_t r, std::size_t c, std::string what) {
        return cellError(in.fileName, sheet, r, c, std::move(what));
    };
    QMatrix q;
    std::size_t concepts = sheet.cellsInRow(0);
    while (concepts > 1 && trimmed(sheet.cell(0, concepts - 1)).empty())
        --concepts;
    if (concepts <= 1) {
        Error e{std::string(in.fileName), 0, "Q 矩陣的第一列沒有概念名稱：B1 起應是各概念的名稱"};
        e.sheet = sheet.name;
        return e;
    }
    --concepts;
    if (concepts > static_cast<std::size_t>(kMaxConcepts)) {
        return refuse(0, kMaxConcepts + 1,
                      "Q 矩陣有 " + std::to_string(concepts) + " 個概念，超過系統的上限 " +
                          std::to_string(kMaxConcepts) + " 個（網路演算法最多處理 181 個概念）");
    }
    for (std::size_t c = 1; c <= concepts; ++c) {
        const std::string_view label = trimmed(sheet.cell(0, c));
        if (label.empty()) return refuse(0, c, "概念名稱是空的");
        if (hasControl(label)) return refuse(0, c, "概念名稱不可以含有換行或控制字元");
        q.labels.emplace_back(label);
    }
    for (std::size_t r = 1; r < sheet.rowCount(); ++r) {
        if (sheet.isBlankRow(r)) continue;
        ++q.items;
        q.itemLines += std::to_string(q.items) + " ";
        for (std::size_t c = 1; c < sheet.cellsInRow(r); ++c) {
            const std::string_view mark = trimmed(sheet.cell(r, c));
            if (mark.empty() || mark == "0") continue;
            if (c > concepts) return refuse(r, c, "這一欄沒有概念名稱，卻填了" + inQuotes(mark));
            if (mark != "1" && mark != "x" && mark != "X" && mark != "✓" && mark != "✔") {
                return refuse(r, c,
                              "Q 矩陣的格子只能是 1（或 x、✓）、0 或空白，讀到" + inQuotes(mark));
            }
            q.itemLines += std::to_string(c) + ",";
        }
        q.itemLines += kCrLf;
    }
    if (q.items != itemCount) {
        Error e{std::string(in.fileName), 0,
                "Q 矩陣有 " + std::to_string(q.items) + " 題，答案表的題目欄卻有 " +
                    std::to_string(itemCount) + " 題"};
        e.sheet = sheet.name;
        return e;
    }
    return q;
}

}  // namespace

bool isDefaultKeyLabel(std::string_view text) {
    text = trimmed(text);
    return text == "答案" || text == "標準答案" || text == "正確答案" ||
           sameIgnoringAsciiCase(text, "key");
}

Expected<std::size_t> findColumn(const NamedSheet& answers, std::string_view wanted) {
    wanted = trimmed(wanted);
    const Sheet& sheet = answers.sheet;
    for (std::size_t c = 0; c < sheet.cellsInRow(0); ++c)
        if (!wanted.empty() && trimmed(sheet.cell(0, c)) == wanted) return c;
    if (auto letters = columnFromLetters(wanted)) return *letters;
    std::size_t number = 0;
    const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
    if (ec == std::errc() && end == wanted.data() + wanted.size() && number >= 1) return number - 1;
    Error e{std::string(answers.fileName), 0,
            "找不到欄" + inQuotes(wanted) + "：請寫第一列的欄名、欄的字母（B）或欄的編號（2）"};
    e.sheet = sheet.name;
    return e;
}

Expected<std::pair<std::size_t, std::size_t>> parseColumnRange(std::string_view text) {
    text = trimmed(text);
    const std::size_t sep = text.find_first_of(":-");
    if (sep != std::string_view::npos) {
        const std::string_view a = trimmed(text.substr(0, sep)), b = trimmed(text.substr(sep + 1));
        if (text[sep] == ':') {
            const auto first = columnFromLetters(a), last = columnFromLetters(b);
            if (first && last && *first <= *last) return std::pair(*first, *last);
        } else {
            std::size_t first = 0, last = 0;
            const auto ra = std::from_chars(a.data(), a.data() + a.size(), first);
            const auto rb = std::from_chars(b.data(), b.data() + b.size(), last);
            if (ra.ec == std::errc() && ra.ptr == a.data() + a.size() && rb.ec == std::errc() &&
                rb.ptr == b.data() + b.size() && first >= 1 && first <= last)
                return std::pair(first - 1, last - 1);
        }
    }
    return errorText("題目欄的範圍" + inQuotes(text) +
                     "看不懂：請寫成 C:V（欄的字母）或 3-22（欄的編號），由小到大");
}

Expected<ImportedClass> importClass(const NamedSheet& answers, const AnswerLayout& layout,
                                    const NamedSheet& qmatrix) {
    ImportedClass out;
    std::u32string key;
    std::string students;
    AnswerReader reader(answers, layout);
    if (auto read = reader.read(key, students, out.students); !read) return read.error();
    auto q = readQMatrix(qmatrix, reader.itemCount());
    if (!q) return q.error();
    out.items = key.size();
    out.keyRow = reader.keyRow();
    out.keyGiven = layout.key.has_value();
    out.concepts = q->labels.size();

    std::string text;
    text.reserve(students.size() + key.size() * 4 + 8);
    text.append(1, kMissingCode).append(kCrLf).append(1, kErrorCode).append(kCrLf);
    for (char32_t c : key)
        appendUtf8(text, c);
    text.append(kCrLf).append(students);
    out.studentFile = encodeForSave(text);
    if (out.studentFile.size() > static_cast<std::size_t>(kMaxInputBytes)) {
        return Error{std::string(answers.fileName), 0,
                     "學生資料檔會超過讀取上限 " + std::to_string(kMaxInputBytes >> 20) + " MB"};
    }
    std::string concepts = std::to_string(out.concepts) + std::string(kCrLf);
    for (std::size_t c = 0; c < q->labels.size(); ++c)
        concepts += std::to_string(c + 1) + " " + q->labels[c] + std::string(kCrLf);
    out.conceptFile = encodeForSave(concepts);
    out.itemConceptFile =
        encodeForSave(std::to_string(out.items) + std::string(kCrLf) + q->itemLines);
    return out;
}

Expected<void> writeClassFolder(const std::filesystem::path& folder, const ImportedClass& files) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        Error e{pathText(folder), 0, "無法建立：" + systemReason(ec.value())};
        e.kind = "資料夾";
        return e;
    }
    // The three replace an older class together or not at all.
    SafeFileSet set;
    const std::pair<std::string_view, const std::string*> outputs[] = {
        {kStudentFileName, &files.studentFile},
        {kConceptFileName, &files.conceptFile},
        {kItemConceptFileName, &files.itemConceptFile}};
    for (const auto& [name, bytes] : outputs) {
        if (auto staged = set.add(folder / name, *bytes); !staged) return staged.error();
    }
    return set.commit();
}

}  // namespace qv
