#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// What the item-concept table cannot tell apart, found before any student.
enum class DesignProblem {
    UnusedConcept,  // no item involves the concept: its distances say nothing
    SameItems,      // the concepts are involved by exactly the same items
    NeverAlone,     // every item of the concept also involves another concept
    EmptyItem,      // the item involves no concept
};

struct DesignWarning {
    DesignProblem problem;
    std::vector<int> concepts;  // 0-based; empty for EmptyItem
    int item = -1;              // 0-based, for EmptyItem only
    std::string message;        // for the teacher, naming concepts as the lists do
};

// The warnings in the order of the list above, each kind by concept or item
// number. Concepts of a SameItems group are not also named NeverAlone: one
// cause, one warning.
std::vector<DesignWarning> quizDesignWarnings(const std::vector<std::vector<int>>& itemConcepts,
                                              int conceptCount,
                                              const std::vector<std::string>& conceptNames);

// The key the summary JSON gives a problem: "unusedConcept", "sameItems", ...
std::string_view designProblemKey(DesignProblem problem);

}  // namespace qv
