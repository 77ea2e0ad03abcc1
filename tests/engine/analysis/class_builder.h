#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/state.h"

namespace qv::test {

// A loaded class built directly, as the three loaders would leave it.
inline ClassData makeClass(const std::vector<std::vector<int>>& itemConcepts, int conceptCount,
                          const std::string& key,
                          const std::vector<std::pair<std::string, std::string>>& students) {
    ClassData s;
    s.conceptCount = conceptCount;
    for (int c = 0; c < conceptCount; ++c)
        s.conceptNames.push_back(" 概念" + std::to_string(c + 1));
    s.itemCount = static_cast<int>(itemConcepts.size());
    s.itemConcept = ItemMatrix(s.itemCount, conceptCount);
    for (int r = 0; r < s.itemCount; ++r)
        for (int c : itemConcepts[static_cast<std::size_t>(r)])
            s.itemConcept(r, c - 1) = Currency::fromInt(1);
    s.answerKey = std::u32string(key.begin(), key.end());
    for (const auto& [id, answers] : students) {
        Student r;
        r.id = id;
        r.answers = std::string(answers.begin(), answers.end());
        r.correct.assign((key.size() + 63) / 64, 0);
        for (std::size_t m = 0; m < key.size(); ++m) {
            if (m < answers.size() && answers[m] == key[m]) {
                ++r.score;
                r.correct[m / 64] |= std::uint64_t{1} << (m % 64);
            }
        }
        s.students.push_back(std::move(r));
    }
    s.studentCount = static_cast<int>(s.students.size());
    s.dataLoaded = s.conceptsLoaded = s.itemConceptLoaded = true;
    return s;
}

// Four concepts A-D. Items 1-3 pair A with B, C and D; items 4-6 involve B, C
// and D alone. The standard network (triangle run) is the star A-B, A-C, A-D:
// A is 3 from each, the others 4 from one another, above the threshold 3.
inline ClassData threeStudentClass() {
    return makeClass({{1, 2}, {1, 3}, {1, 4}, {2}, {3}, {4}}, 4, "ABCDAB",
                     {{"90702001", "ABCDAB"},    // all correct: the standard itself
                      {"90702002", "BCDDBC"},    // only item 4 (concept B)
                      {"90702003", "DDDADD"}});  // nothing correct
}

// The class as a run takes it.
inline ClassPtr shared(ClassData data) {
    return std::make_shared<const ClassData>(std::move(data));
}

}  // namespace qv::test
