#include "stats/quiz_design.h"

#include <algorithm>
#include <map>

#include "report/class_charts.h"

namespace qv {

std::vector<DesignWarning> quizDesignWarnings(const std::vector<std::vector<int>>& itemConcepts,
                                              int conceptCount,
                                              const std::vector<std::string>& names) {
    const int n = std::max(conceptCount, 0);
    std::vector<std::vector<int>> itemsOf(static_cast<std::size_t>(n));
    std::vector<bool> alone(static_cast<std::size_t>(n), false);
    for (std::size_t m = 0; m < itemConcepts.size(); ++m) {
        for (int c : itemConcepts[m]) {
            if (c < 0 || c >= n) continue;
            itemsOf[static_cast<std::size_t>(c)].push_back(static_cast<int>(m));
            if (itemConcepts[m].size() == 1) alone[static_cast<std::size_t>(c)] = true;
        }
    }
    std::vector<DesignWarning> out;
    for (int c = 0; c < n; ++c)
        if (itemsOf[static_cast<std::size_t>(c)].empty())
            out.push_back({DesignProblem::UnusedConcept,
                           {c},
                           -1,
                           "沒有任何題目包含概念 " + conceptText(c, names) + "。"});
    // Groups of used concepts by their items, in the order of their first concept.
    std::map<std::vector<int>, std::vector<int>> byItems;
    for (int c = 0; c < n; ++c)
        if (!itemsOf[static_cast<std::size_t>(c)].empty())
            byItems[itemsOf[static_cast<std::size_t>(c)]].push_back(c);
    std::vector<std::vector<int>> groups;
    for (const auto& entry : byItems)
        if (entry.second.size() > 1) groups.push_back(entry.second);
    std::ranges::sort(groups);
    std::vector<bool> grouped(static_cast<std::size_t>(n), false);
    for (const std::vector<int>& group : groups) {
        std::string named;
        for (int c : group) {
            named += (named.empty() ? "" : "、") + conceptText(c, names);
            grouped[static_cast<std::size_t>(c)] = true;
        }
        out.push_back({DesignProblem::SameItems, group, -1,
                       "概念 " + named + " 由完全相同的題目包含，無法區分（標準距離為 0）。"});
    }
    for (int c = 0; c < n; ++c) {
        const auto k = static_cast<std::size_t>(c);
        if (!itemsOf[k].empty() && !alone[k] && !grouped[k])
            out.push_back({DesignProblem::NeverAlone,
                           {c},
                           -1,
                           "概念 " + conceptText(c, names) +
                               " 沒有單獨測量的題目：包含它的題目都還包含其他概念。"});
    }
    for (std::size_t m = 0; m < itemConcepts.size(); ++m)
        if (itemConcepts[m].empty())
            out.push_back({DesignProblem::EmptyItem,
                           {},
                           static_cast<int>(m),
                           "第 " + std::to_string(m + 1) + " 題沒有包含任何概念。"});
    return out;
}

std::string_view designProblemKey(DesignProblem problem) {
    switch (problem) {
        case DesignProblem::UnusedConcept:
            return "unusedConcept";
        case DesignProblem::SameItems:
            return "sameItems";
        case DesignProblem::NeverAlone:
            return "neverAlone";
        case DesignProblem::EmptyItem:
            return "emptyItem";
    }
    return "";
}

}  // namespace qv
