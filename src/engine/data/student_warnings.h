#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A student line that loads, but most likely not as its writer meant.
struct LineWarning {
    int line = 0;      // in the file, from 1
    std::string text;  // what looks wrong and how the line is read instead
};

// The suspicious student lines of a student data file's text (decoded, as
// decodeText gives it). Reading does not change: the loader still takes every
// line as it always has; these only point at the lines a person should look
// at again. At most one warning of each kind per line, in this order: an ID
// holding a tab, a control character or a full-width space; an answer taken
// as a group separator; answers in the other case than the key's; answers
// that are neither in the key nor a code; answers past the key's length.
// Lines the loader refuses give nothing.
std::vector<LineWarning> studentLineWarnings(std::string_view text);

}  // namespace qv
