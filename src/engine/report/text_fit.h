#pragma once

#include <string>
#include <string_view>

#include "report/canvas.h"

namespace qv {

// A text's width when the canvas cannot measure it: an estimate that errs
// wide, CJK and other wide characters a full em, the others six tenths of one.
int estimatedTextWidth(std::string_view utf8, int pixels);

// The text itself when it is at most `width` wide, else its longest start
// that is, with "…" after it: measured on the canvas in `style`, or estimated
// when the canvas cannot measure. The cut falls between whole characters.
std::string elidedText(std::string_view utf8, double width, const Canvas& canvas,
                       const TextStyle& style = {});
// The same by the estimate alone, for layouts made before any canvas.
std::string elidedText(std::string_view utf8, double width, int pixels);

}  // namespace qv
