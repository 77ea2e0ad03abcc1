// Concept-note files: any bytes must give a count in range with one label per
// concept, or an error naming a line of the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/utf8.h"
#include "data/concept_file.h"
#include "data/lines.h"
#include "data/text_codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = qv::decodeText(bytes);
    auto result = qv::parseConceptFile(text, "fuzz.txt");
    if (!result) {
        QV_FUZZ_CHECK(!result.error().what.empty());
        QV_FUZZ_CHECK(result.error().line >= 0 && static_cast<std::size_t>(result.error().line) <=
                                                      qv::splitLineViews(text).size());
        return 0;
    }
    QV_FUZZ_CHECK(result->count >= 1 && result->count <= qv::kMaxConcepts);
    QV_FUZZ_CHECK(result->names.size() == static_cast<std::size_t>(result->count));
    for (const auto& name : result->names) {
        QV_FUZZ_CHECK(name.empty() || name.front() == ' ');
        QV_FUZZ_CHECK(name.size() <= 1 || (name.back() != ' ' && name.back() != '\n'));
        QV_FUZZ_CHECK(qv::isValidUtf8(name));
    }
    qv::ClassData state;
    qv::applyConceptNotes(state, std::move(result).value());
    return 0;
}
