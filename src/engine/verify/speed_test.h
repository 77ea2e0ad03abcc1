#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/expected.h"
#include "core/matrix.h"
#include "pathfinder/network_limits.h"

namespace qv {

// The four timed algorithms, in the order of their buttons.
enum class SpeedAlgorithm { DC, Triangle, PathSearch, Exhaustive };
inline constexpr std::array kSpeedAlgorithms = {SpeedAlgorithm::DC, SpeedAlgorithm::Triangle,
                                                SpeedAlgorithm::PathSearch,
                                                SpeedAlgorithm::Exhaustive};

// Every algorithm but DC is also timed on a random matrix.
constexpr bool hasRandomPhase(SpeedAlgorithm a) {
    return a != SpeedAlgorithm::DC;
}

// The unlinked distance of the built-in sample matrix.
inline constexpr Currency kSampleUnlinkedDistance = Currency::fromInt(8);
inline constexpr int kSampleConcepts = 5;

// The random phase's inputs as read from the window's two boxes.
struct SpeedInputs {
    double count = 0;           // as entered; the time line prints it
    int conceptCount = 0;       // count rounded, halves to even: the matrix size
    std::int32_t maxValue = 0;  // rounded, halves to even
};

// Reads the leading number of each text (0 when there is none). Refuses a
// negative count, a count beyond 16 bits, and a maximum whose random values
// round(u x max) + 1 would leave 16 bits, with a message that says which.
Expected<SpeedInputs> parseSpeedInputs(std::string_view countText, std::string_view maxText);

// A uniform pseudo-random generator on [0, 1).
using UniformSource = std::function<double()>;
// The program's own generator, seeded afresh from the system each time.
UniformSource systemUniformSource();

// The random symmetric matrix of a speed test, conceptCount x conceptCount:
// for i = 0 .. count - 2 and j = 0 .. count - 1 each entry gets
// round(u x max) + 1 (halves to even) on both sides, the diagonal 0. Stops
// early, leaving the rest 0, once `cancel` is set.
DistanceMatrix RandomSymmetricMatrix(const SpeedInputs& inputs, const UniformSource& uniform,
                                     const CancelFlag* cancel = nullptr);

// Milliseconds as seconds in the shortest decimal form: 0, 0.016, 1.5.
std::string secondsText(std::int64_t elapsedMs);
// "所需花費時間" seconds "秒" and lineBreak.
std::string sampleTimeLine(std::int64_t elapsedMs, std::string_view lineBreak);
// count "x" count "所需花費時間" seconds "秒" and lineBreak, e.g. "20x20所需花費時間1.5秒".
std::string randomTimeLine(double count, std::int64_t elapsedMs, std::string_view lineBreak);

// One call of an algorithm and the milliseconds it took; the clock is read
// just before and just after the call. No links when it was cancelled.
struct TimedNetwork {
    std::optional<LinkMatrix> links;
    std::int64_t elapsedMs = 0;
};
// DC and the exhaustive search stop soon after `cancel` is set; the
// first-order variants are short and always finish.
TimedNetwork timeNetwork(SpeedAlgorithm algorithm, const DistanceMatrix& d, int n,
                         Currency unlinkedDistance, const CancelFlag& cancel);

struct PhaseResult {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Done;
    std::string text;  // the lines to append when Done, the message when Failed
};

// The sample phase: the algorithm on the 5-concept sample matrix; five link
// rows and the time line.
PhaseResult runSamplePhase(SpeedAlgorithm algorithm, const DistanceMatrix& sample,
                           std::string_view lineBreak, const CancelFlag& cancel);

// The random phase: a fresh random matrix (built before the clock starts) and
// one time line. Cancelled whenever `cancel` is set by the time it ends.
PhaseResult runRandomPhase(SpeedAlgorithm algorithm, const SpeedInputs& inputs,
                           const UniformSource& uniform, std::string_view lineBreak,
                           const CancelFlag& cancel);

}  // namespace qv
