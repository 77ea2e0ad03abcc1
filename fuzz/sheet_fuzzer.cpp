// Sheets: any bytes give a sheet of UTF-8 cells or a refusal with a reason.
// Input with a form feed is an answer sheet before it and a Q-matrix after;
// whatever the import makes of them, the loaders must read back with the
// same counts.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/utf8.h"
#include "data/class_import.h"
#include "data/loaders.h"
#include "data/sheet.h"
#include "fuzz_check.h"

namespace {

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

qv::Expected<qv::Sheet> readChecked(std::string_view bytes) {
    auto sheet = qv::readSheet(bytes, "fuzz");
    if (!sheet) {
        QV_FUZZ_CHECK(!sheet.error().what.empty());
        return sheet;
    }
    for (std::size_t r = 0; r < sheet->rowCount(); ++r) {
        QV_FUZZ_CHECK(sheet->cellsInRow(r) <= sheet->columnCount());
        for (std::size_t c = 0; c < sheet->cellsInRow(r); ++c)
            QV_FUZZ_CHECK(qv::isValidUtf8(sheet->cell(r, c)));
    }
    return sheet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\f');
    if (split == std::string_view::npos) {
        readChecked(bytes);
        return 0;
    }
    auto answers = readChecked(bytes.substr(0, split));
    auto qmatrix = readChecked(bytes.substr(split + 1));
    if (!answers || !qmatrix) return 0;
    auto imported = qv::importClass({*answers, "a"}, {}, {*qmatrix, "q"});
    if (!imported) {
        QV_FUZZ_CHECK(!imported.error().what.empty());
        return 0;
    }
    auto loaded = qv::readClass(
        qv::ClassText{imported->conceptFile, imported->itemConceptFile, imported->studentFile});
    QV_FUZZ_CHECK(loaded.ok());
    QV_FUZZ_CHECK(static_cast<std::size_t>(loaded->studentCount) == imported->students);
    QV_FUZZ_CHECK(static_cast<std::size_t>(loaded->itemCount) == imported->items);
    QV_FUZZ_CHECK(static_cast<std::size_t>(loaded->conceptCount) == imported->concepts);
    // Every student reads back with the ID and answers of the sheet's row, an
    // empty cell as the missing-data code.
    const qv::Sheet& sheet = *answers;
    std::size_t k = 0;
    for (std::size_t r = 1; r < sheet.rowCount(); ++r) {
        if (r == imported->keyRow) continue;
        std::string id(trimmed(sheet.cell(r, 0))), expected;
        for (std::size_t m = 1; m <= imported->items; ++m) {
            const std::string_view cell = trimmed(sheet.cell(r, m));
            expected += cell.empty() ? std::string_view("8") : cell;
        }
        if (id.empty() && expected == std::string(imported->items, '8')) continue;
        QV_FUZZ_CHECK(k < loaded->students.size());
        QV_FUZZ_CHECK(loaded->students[k].id == id && loaded->students[k].answers == expected);
        ++k;
    }
    QV_FUZZ_CHECK(k == loaded->students.size());
    return 0;
}
