#pragma once

#include <unicode/ucnv.h>

#include <sstream>
#include <string>
#include <string_view>

#include "class_files.h"
#include "core/state.h"
#include "core/utf8.h"

namespace qv::test {

// Code page 950 bytes of a UTF-8 text, made by ICU independently of the codec
// under test.
inline std::string toBig5(std::string_view utf8) {
    std::string out(utf8.size() * 2 + 16, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_convert("windows-950", "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                     utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(n) : 0);
    return out;
}

// Everything the loaders may change, as one comparable text.
inline std::string snapshot(const ClassData& s) {
    std::ostringstream out;
    out << s.studentCount << '|' << s.itemCount << '|' << s.conceptCount << '|' << s.dataLoaded
        << s.conceptsLoaded << s.itemConceptLoaded << '|' << toUtf8(s.answerKey)
        << '|' << s.itemConcept.rows() << 'x' << s.itemConcept.cols();
    for (int r = 0; r < s.itemConcept.rows(); ++r)
        for (int c = 0; c < s.itemConcept.cols(); ++c)
            out << (s.itemConcept(r, c) == Currency{});
    for (const auto& name : s.conceptNames)
        out << '|' << name;
    for (const auto& st : s.students) {
        out << '|' << st.id << ':' << st.score << ':';
        out << st.answers;
        for (auto word : st.correct)
            out << '/' << word;
    }
    return out.str();
}

// The rows of a 0/1 matrix as text, "110 011 001".
inline std::string rows(const ItemMatrix& m) {
    std::string out;
    for (int r = 0; r < m.rows(); ++r) {
        if (r > 0) out += ' ';
        for (int c = 0; c < m.cols(); ++c)
            out += m(r, c) == Currency::fromInt(1) ? '1' : '0';
    }
    return out;
}

}  // namespace qv::test
