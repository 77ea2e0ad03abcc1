// Student data files: any bytes must give either a consistent class or an
// error naming a line of the file; a line may stop short of the key, leaving
// its last items unanswered. Reading in blocks must give the same records.
// The warnings of misread lines hold on any text.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/utf8.h"
#include "data/lines.h"
#include "data/student_file.h"
#include "data/student_warnings.h"
#include "data/text_codec.h"
#include "fuzz_check.h"

namespace {

void checkStudent(const qv::Student& s, const std::u32string& key) {
    QV_FUZZ_CHECK(!s.id.empty() && s.id.find(' ') == std::string::npos);
    QV_FUZZ_CHECK(qv::isValidUtf8(s.answers));
    const std::u32string answers = qv::toCodePoints(s.answers);
    QV_FUZZ_CHECK(answers.size() <= key.size());
    QV_FUZZ_CHECK(s.correct.size() == (key.size() + 63) / 64);
    int bits = 0;
    for (auto word : s.correct)
        bits += std::popcount(word);
    QV_FUZZ_CHECK(bits == s.score);
    // Right exactly where the answer given is the key's; unanswered items are wrong.
    for (std::size_t m = 0; m < key.size(); ++m)
        QV_FUZZ_CHECK(s.isCorrect(static_cast<int>(m)) ==
                      (m < answers.size() && answers[m] == key[m]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = qv::decodeText(bytes);
    QV_FUZZ_CHECK(qv::isValidUtf8(text));
    QV_FUZZ_CHECK(qv::decodeText(qv::encodeForSave(text)) == text);

    auto result = qv::parseStudentFile(bytes, "fuzz.txt");
    auto index = qv::indexStudentFile(std::string(bytes), "fuzz.txt", 3);
    QV_FUZZ_CHECK(result.ok() == index.ok());
    const auto lineCount = qv::splitLineViews(text).size();
    // Whatever the file, a warning names a student line in readable text.
    for (const qv::LineWarning& w : qv::studentLineWarnings(text)) {
        QV_FUZZ_CHECK(w.line > 3 && static_cast<std::size_t>(w.line) <= lineCount);
        QV_FUZZ_CHECK(!w.text.empty() && qv::isValidUtf8(w.text));
    }
    if (!result) {
        QV_FUZZ_CHECK(!result.error().what.empty());
        QV_FUZZ_CHECK(result.error().what == index.error().what);
        QV_FUZZ_CHECK(result.error().line == index.error().line);
        QV_FUZZ_CHECK(result.error().line >= 0 &&
                      static_cast<std::size_t>(result.error().line) <= lineCount);
        return 0;
    }
    const auto& key = result->answerKey;
    QV_FUZZ_CHECK(!key.empty() && key.size() <= static_cast<std::size_t>(qv::kMaxItems));
    QV_FUZZ_CHECK(result->students.size() + 3 <= lineCount);
    QV_FUZZ_CHECK(index->answerKey == key && index->studentCount == result->students.size());
    std::vector<qv::StudentRecord> block;
    for (std::size_t b = 0, at = 0; b < index->blockCount(); ++b) {
        qv::readStudentBlock(*index, b, block);
        for (const qv::StudentRecord& r : block) {
            const qv::Student& s = result->students[at++];
            QV_FUZZ_CHECK(r.id == s.id && r.answers == s.answers && r.score == s.score &&
                          r.correct == s.correct);
        }
    }
    for (const auto& s : result->students)
        checkStudent(s, key);
    qv::ClassData state;
    qv::applyStudentData(state, std::move(result).value());
    QV_FUZZ_CHECK(state.itemCount == static_cast<std::int32_t>(state.answerKey.size()));
    return 0;
}
