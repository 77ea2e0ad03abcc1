#pragma once

// The file side of the three data editors, free of widgets: the text a Save
// writes, how an opened file is spread over the boxes, auto-numbering and the
// name-box rule. Texts are UTF-8; the boxes' line breaks are LineBreak (LF CR LF).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Typing limits of the answer-key boxes and of the two ID boxes, in characters.
inline constexpr int kAnswerBoxLimit = 47;
inline constexpr int kIdBoxLimit = 8;

// One auto-numbering press adds at most this many lines; a larger range is a typo.
inline constexpr std::int64_t kMaxNumberedLines = 100000;

// Number of characters (code points) of a UTF-8 text.
std::size_t charCount(std::string_view utf8);

// The name box's text for a chosen file: the file name without its folder, up
// to its first "." ("a.b.txt" -> "a"). Both "/" and "\" separate folders.
std::string nameFromPath(std::string_view path);

// --- Student data file ---------------------------------------------------

struct DataFileFields {
    std::string missingCode;
    std::string errorCode;
    std::string answersFirst;  // the first answer box
    std::string answersRest;   // the continuation box
    std::string students;      // the student box, LineBreak-separated
};

// The file text: four records, each followed by CR LF; the two answer boxes
// form one line again and the student box is written unchanged.
std::string dataFileText(const DataFileFields& fields);

// The answer key line as the two boxes take it: 48 characters or more are
// split after the 47th; a shorter key goes whole into the first box and the
// continuation box keeps what it held (no `rest`).
struct AnswerKeySplit {
    std::string first;
    std::optional<std::string> rest;
};
AnswerKeySplit splitAnswerKey(std::string_view key);

// What Open puts into the data editor. `students` is appended to the student box.
struct OpenedDataFile {
    std::string missingCode;
    std::string errorCode;
    AnswerKeySplit answers;
    std::string students;
};

// Spreads an opened student data file over the boxes; no value when the
// text has fewer than three lines.
std::optional<OpenedDataFile> openDataFile(std::string_view text);

// --- Concept-note and item-concept files ---------------------------------

// The file text: the count, CR LF, the box unchanged, CR LF.
std::string countFileText(std::string_view count, std::string_view box);

struct OpenedCountFile {
    std::string count;
    std::string lines;  // appended to the large box
};

// Spreads an opened concept-note or item-concept file over the boxes; no
// value when the text is empty.
std::optional<OpenedCountFile> openCountFile(std::string_view text);

// --- Shared pieces -------------------------------------------------------

// The box text for lines read from a file: each line without the one LF that
// the box's LineBreak left before the line's CR LF, followed by LineBreak. An
// empty last line is the CR LF that ends the box's record and adds nothing.
std::string boxTextFromLines(const std::vector<std::string>& lines, std::size_t from);

// The whole number at the start of a box: leading number, halves to even.
double wholeNumberAt(std::string_view text);

// The lines first, first + 1, ..., last, each followed by LineBreak; empty
// when first > last. No value when the range holds more than kMaxNumberedLines.
std::optional<std::string> numberedLines(double first, double last);

}  // namespace qv
