// Student data files: any bytes must give either a consistent class or an
// error naming a line of the file; saving the decoded text must read back
// unchanged.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/utf8.h"
#include "data/lines.h"
#include "data/student_file.h"
#include "data/text_codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = qv::decodeText(bytes);
    QV_FUZZ_CHECK(qv::isValidUtf8(text));
    QV_FUZZ_CHECK(qv::decodeText(qv::encodeForSave(text)) == text);

    auto result = qv::parseStudentFile(text, "fuzz.txt");
    const auto lineCount = qv::splitLineViews(text).size();
    if (!result) {
        QV_FUZZ_CHECK(!result.error().what.empty());
        QV_FUZZ_CHECK(result.error().line >= 0 &&
                      static_cast<std::size_t>(result.error().line) <= lineCount);
        return 0;
    }
    const auto& key = result->answerKey;
    QV_FUZZ_CHECK(!key.empty() && key.size() <= static_cast<std::size_t>(qv::kMaxItems));
    QV_FUZZ_CHECK(result->students.size() + 3 <= lineCount);
    for (const auto& s : result->students) {
        QV_FUZZ_CHECK(!s.id.empty() && s.id.find(' ') == std::string::npos);
        QV_FUZZ_CHECK(s.answers.size() == key.size());
        QV_FUZZ_CHECK(s.correct.size() == (key.size() + 63) / 64);
        int bits = 0;
        for (auto word : s.correct)
            bits += std::popcount(word);
        QV_FUZZ_CHECK(bits == s.score);
        QV_FUZZ_CHECK(static_cast<std::size_t>(s.score) + s.wrongItems.size() == key.size());
        for (auto item : s.wrongItems)
            QV_FUZZ_CHECK(!s.isCorrect(item - 1));
    }
    qv::ClassData state;
    qv::applyStudentData(state, std::move(result).value());
    QV_FUZZ_CHECK(state.itemCount == static_cast<std::int32_t>(state.answerKey.size()));
    return 0;
}
