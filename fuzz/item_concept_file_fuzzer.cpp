// Item-concept files: the first byte picks the concept count in force (0 means
// no concept-note file loaded), the rest is the file. Any input must give a
// 0/1 matrix of the stated size, or an error naming a line of the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "data/concept_file.h"
#include "data/item_concept_file.h"
#include "data/lines.h"
#include "data/text_codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t concepts = data[0] % (qv::kMaxConcepts + 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = qv::decodeText(bytes);
    auto result = qv::parseItemConceptFile(text, "fuzz.txt", concepts, concepts > 0);
    if (!result) {
        QV_FUZZ_CHECK(!result.error().what.empty());
        QV_FUZZ_CHECK(result.error().line >= 0 && static_cast<std::size_t>(result.error().line) <=
                                                      qv::splitLineViews(text).size());
        QV_FUZZ_CHECK(concepts > 0 || result.error().line == 0);
        return 0;
    }
    QV_FUZZ_CHECK(concepts > 0);
    const auto& m = result->matrix;
    QV_FUZZ_CHECK(result->itemCount >= 1 && result->itemCount <= qv::kMaxItems);
    QV_FUZZ_CHECK(m.rows() == result->itemCount && m.cols() == concepts);
    for (int r = 0; r < m.rows(); ++r)
        for (int c = 0; c < m.cols(); ++c)
            QV_FUZZ_CHECK(m(r, c) == qv::Currency{} || m(r, c) == qv::Currency::fromInt(1));
    qv::ClassData state;
    qv::applyItemConcept(state, std::move(result).value());
    return 0;
}
