#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "report/canvas.h"

namespace qv {

// The score against one index, a dot per student, drawn like the class's
// other charts: students of one score but different networks stand apart.
struct ScatterLayout {
    LayoutPoint origin{};
    int width = 0, height = 0;
    int left = 0, right = 0, top = 0, bottom = 0;  // the plot area
    int maxScore = 0;
    double low = 0, high = 1;  // the index axis
    // Per student in the given order; nothing for a student without a value.
    std::vector<std::optional<LayoutPoint>> dots;
};

// `scores` and `values` per student; the index axis runs from `low` to 1.
ScatterLayout scatterLayout(const std::vector<int>& scores,
                            const std::vector<std::optional<double>>& values, int maxScore,
                            double low, LayoutPoint origin);
void DrawScoreScatter(Canvas& canvas, const ScatterLayout& layout, std::string_view indexName);
// The student whose dot is nearest the point, within a few pixels.
std::optional<std::size_t> scatterStudentAt(const ScatterLayout& layout, LayoutPoint p);

}  // namespace qv
