#include "data/editor_format.h"

#include <cmath>

#include "core/number_text.h"
#include "core/state.h"
#include "data/lines.h"

namespace qv {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Byte offset of the code point with index `n` (or the end).
std::size_t offsetOfChar(std::string_view utf8, std::size_t n) {
    std::size_t i = 0;
    for (; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (n == 0) return i;
        --n;
    }
    return utf8.size();
}

}  // namespace

std::size_t charCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string nameFromPath(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(name.substr(0, name.find('.')));
}

std::string dataFileText(const DataFileFields& f) {
    std::string out;
    out.reserve(f.missingCode.size() + f.errorCode.size() + f.answersFirst.size() +
                f.answersRest.size() + f.students.size() + 8);
    out.append(f.missingCode).append(kCrLf);
    out.append(f.errorCode).append(kCrLf);
    out.append(f.answersFirst).append(f.answersRest).append(kCrLf);
    out.append(f.students).append(kCrLf);
    return out;
}

AnswerKeySplit splitAnswerKey(std::string_view key) {
    if (charCount(key) <= static_cast<std::size_t>(kAnswerBoxLimit)) return {std::string(key), {}};
    const auto cut = offsetOfChar(key, kAnswerBoxLimit);
    return {std::string(key.substr(0, cut)), std::string(key.substr(cut))};
}

std::optional<OpenedDataFile> openDataFile(std::string_view text) {
    const auto lines = splitLines(text);
    if (lines.size() < 3) return std::nullopt;
    return OpenedDataFile{lines[0], lines[1], splitAnswerKey(lines[2]), boxTextFromLines(lines, 3)};
}

std::string countFileText(std::string_view count, std::string_view box) {
    std::string out;
    out.reserve(count.size() + box.size() + 4);
    out.append(count).append(kCrLf).append(box).append(kCrLf);
    return out;
}

std::optional<OpenedCountFile> openCountFile(std::string_view text) {
    const auto lines = splitLines(text);
    if (lines.empty()) return std::nullopt;
    return OpenedCountFile{lines[0], boxTextFromLines(lines, 1)};
}

std::string boxTextFromLines(const std::vector<std::string>& lines, std::size_t from) {
    std::size_t end = lines.size();
    if (end > from && lines[end - 1].empty()) --end;
    std::string out;
    for (std::size_t i = from; i < end; ++i) {
        std::string_view line = lines[i];
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        out.append(line).append(kLineBreak);
    }
    return out;
}

double wholeNumberAt(std::string_view text) {
    return roundHalfEven(leadingNumber(text));
}

std::optional<std::string> numberedLines(double first, double last) {
    // Beyond 10^15 a double no longer holds every whole number.
    constexpr double kLargest = 1e15;
    if (!(std::fabs(first) <= kLargest && std::fabs(last) <= kLargest)) return std::nullopt;
    if (first > last) return std::string();
    if (last - first >= static_cast<double>(kMaxNumberedLines)) return std::nullopt;
    const auto from = static_cast<std::int64_t>(first);
    const auto to = static_cast<std::int64_t>(last);
    std::string out;
    out.reserve(static_cast<std::size_t>(to - from + 1) * 12);
    for (std::int64_t id = from; id <= to; ++id)
        out.append(std::to_string(id)).append(kLineBreak);
    return out;
}

}  // namespace qv
