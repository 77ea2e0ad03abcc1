#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link_rows.h"
#include "core/matrix.h"

namespace qv {

// Every line the system adds to a multi-line text: LF, CR, LF.
inline constexpr std::string_view kLineBreak = "\n\r\n";

// Stands for an answer that a short student line does not reach; never equal
// to a key character.
inline constexpr char32_t kNoAnswer = 0x110000;

// Counters of one comparison, indexed by LinkFlag.
using LinkFlagCounts = std::array<std::int32_t, 6>;
enum LinkFlag : int {
    kMatch = 0,
    kMiss = 1,
    kOver = 2,
    kAbsent = 3,
    kStdLinks = 4,
    kTargetLinks = 5
};

// One student line of the data file, scored against the key.
struct Student {
    std::string id;
    // The answers given, in UTF-8, one character per item the line reaches;
    // which items are right is in `correct`, the wrong ones its clear bits.
    std::string answers;
    std::int32_t score = 0;
    // The diagonal of the correct-answer matrix, one bit per item: the dense
    // item x item matrix would cost ItemCount^2 x 8 bytes per student.
    std::vector<std::uint64_t> correct;

    bool isCorrect(int item) const {
        return (correct[static_cast<std::size_t>(item) / 64] >> (item % 64)) & 1u;
    }
};

// A student with the results of one run.
struct StudentRecord : Student {
    DistanceMatrix distance;
    LinkRows links;
    // When the run's referent leaves this student out of its group, the
    // network the student was compared with; empty (n = 0) when it is the
    // run's standard network.
    LinkRows referentLinks;
    GraphDistanceMatrix graphDistance;
    LinkFlagCounts linkCounts{};
    // The indices and the link rates (Match, Miss, Over on STD, then on
    // Target); empty where the value does not exist. Their texts are made
    // from them when shown (indexText, rateText).
    std::optional<double> pfcValue, gtdValue, prxValue;
    std::array<std::optional<double>, 6> rateValues{};
    // Every off-diagonal distance is the same (no right answer gives this):
    // the network links every pair, whatever the student knows.
    bool undetermined = false;
};

// The built-in 5 x 5 sample distance matrix.
DistanceMatrix builtInSampleMatrix();

// A loaded class: what its three files say, parsed. Shared as a ClassPtr and
// never changed once shared; a load builds a new one. A class read in blocks
// has its counts and key but no students.
struct ClassData {
    std::int32_t studentCount = 0;
    std::int32_t itemCount = 0;
    std::int32_t conceptCount = 0;
    std::vector<std::string> conceptNames;  // ConceptCount entries
    std::u32string answerKey;               // one code point per item
    ItemMatrix itemConcept;                 // ItemCount x ConceptCount (at load time), 0/1
    std::vector<Student> students;          // StudentCount entries

    // Which of the files are loaded; the desktop loads them one at a time.
    bool dataLoaded = false;
    bool conceptsLoaded = false;
    bool itemConceptLoaded = false;
};

using ClassPtr = std::shared_ptr<const ClassData>;

// What a run makes of a class: the standard network, the method's name, one
// record per student and the text of the results box.
struct RunResults {
    // The class the run was made on: reports read its labels and counts from here.
    ClassPtr data;

    DistanceMatrix stdDistance;
    LinkMatrix stdLinks;
    GraphDistanceMatrix stdGraphDistance;
    // The networks as a report names them under the ID, e.g.
    // "PFNET(r=∞, q=19)"; empty after a first-order run, whose reports name none.
    std::string methodName;

    std::vector<StudentRecord> students;  // in file order; none for a run in blocks
    std::string text;                     // each line ending with kLineBreak
};

}  // namespace qv
