#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "core/state.h"
#include "core/limits.h"
#include "core/error.h"

namespace qv {

// A student data file as read: the two codes (kept, but they take no part in
// scoring), the answer key and one scored record per student line.
struct StudentData {
    std::string missingCode, errorCode;
    std::u32string answerKey;
    std::vector<StudentRecord> students;
};

// Reads a student data file. `bytes` is the file's content in either encoding
// (decodeText is applied; text that is already UTF-8 passes unchanged).
// `fileName` is the name the messages show. Line 1 and 2 are the codes, line
// 3 the answer key (one character per item), then one line per student: the
// ID, a space, and the answers, with one separator character after every
// fifth answer. Blank student lines are skipped.
Expected<StudentData> parseStudentFile(std::string_view bytes,
                                                  std::string_view fileName);

// Replaces the class in the state: counts, key and fresh records.
void applyStudentData(AppState& state, StudentData&& data);

}  // namespace qv
