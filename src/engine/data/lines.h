#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The lines of a data file. A line ends at CR; a CR LF pair ends it too and
// neither character belongs to the line. A lone LF is an ordinary character
// and stays in the line, so a line written from an editor box (which ends its
// lines with LF CR LF) reads back with one trailing LF. A last line without a
// terminator counts when it is not empty; a file ending in CR LF has no empty
// line after it.
std::vector<std::string> splitLines(std::string_view text);

// Which characters end a line: CR (with CR LF as one) for the data files;
// also a lone LF for matrix files, which other programs write.
enum class LineEnds { Cr, CrOrLf };

// The line that starts at `pos`, as a view; moves `pos` past its end. False
// once `pos` has reached the end of the text.
bool nextLineView(std::string_view text, std::size_t& pos, std::string_view& line,
                  LineEnds ends = LineEnds::Cr);

// The same lines as views into `text`.
std::vector<std::string_view> splitLineViews(std::string_view text, LineEnds ends = LineEnds::Cr);

// True for a line that holds nothing but spaces, tabs and LFs.
bool isBlankLine(std::string_view line);

// The line without the LFs at its end (the remnant of an editor line break).
std::string_view withoutTrailingLf(std::string_view line);

}  // namespace qv
