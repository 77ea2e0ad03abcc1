#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/expected.h"
#include "core/limits.h"
#include "core/state.h"

namespace qv {

// A student data file as read: the two codes (kept, but they take no part in
// scoring), the answer key and one scored record per student line.
struct StudentData {
    std::string missingCode, errorCode;
    std::u32string answerKey;
    std::vector<Student> students;
};

// Reads a student data file. `bytes` is the file's content in either encoding
// (decodeText is applied; text that is already UTF-8 passes unchanged).
// `fileName` is the name the messages show. Line 1 and 2 are the codes, line
// 3 the answer key (one character per item), then one line per student: the
// ID, a space, and the answers, with one separator character after every
// fifth answer. Blank student lines are skipped.
Expected<StudentData> parseStudentFile(std::string_view bytes, std::string_view fileName);

// Replaces the class's students: counts, key and records.
void applyStudentData(ClassData& data, StudentData&& students);

// A student data file checked whole without building its records, so that a
// large class can be read a block at a time: the codes, the key, the number
// of students and where every block of `blockSize` student lines starts.
struct StudentFileIndex {
    std::string text;  // the decoded file
    std::string missingCode, errorCode;
    std::u32string answerKey;
    std::size_t studentCount = 0, blockSize = 1;
    std::vector<std::size_t> blockStarts;  // byte offsets into text

    std::size_t blockCount() const { return blockStarts.size(); }
};

// Refuses what parseStudentFile refuses, with the same messages.
Expected<StudentFileIndex> indexStudentFile(std::string bytes, std::string_view fileName,
                                            std::size_t blockSize);

// Makes every `factor` consecutive blocks one block.
void joinStudentBlocks(StudentFileIndex& index, std::size_t factor);

// The records of one block, scored; `records` is resized and its records reused.
void readStudentBlock(const StudentFileIndex& index, std::size_t block,
                      std::vector<StudentRecord>& records);

// The class's counts and key from the index; the students are left empty.
void applyStudentIndex(ClassData& data, const StudentFileIndex& index);

}  // namespace qv
