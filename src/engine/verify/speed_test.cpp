#include "verify/speed_test.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <new>
#include <random>

#include "core/number_text.h"
#include "data/matrix_file.h"
#include "pathfinder/dc_network.h"
#include "pathfinder/exhaustive.h"
#include "pathfinder/first_order.h"

namespace qv {

namespace {

constexpr double kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr double kInt16Max = std::numeric_limits<std::int16_t>::max();

std::optional<LinkMatrix> runAlgorithm(SpeedAlgorithm algorithm, const DistanceMatrix& d, int n,
                                       Currency unlinkedDistance, const CancelFlag& cancel) {
    switch (algorithm) {
        case SpeedAlgorithm::DC:
            return DCNetwork(d, n, unlinkedDistance, cancel);
        case SpeedAlgorithm::Triangle:
            return FirstOrderTriangle(d, n);
        case SpeedAlgorithm::PathSearch:
            return FirstOrderPathSearch(d, n);
        case SpeedAlgorithm::Exhaustive:
            return ExhaustivePathFinder(d, n, unlinkedDistance, cancel);
    }
    return std::nullopt;
}

Expected<void> checkSize(SpeedAlgorithm algorithm, const DistanceMatrix& d, int n) {
    return algorithm == SpeedAlgorithm::DC ? checkDcConceptCount(d, n) : checkConceptCount(d, n);
}

PhaseResult failed(std::string message) {
    return {PhaseResult::Status::Failed, std::move(message)};
}

}  // namespace

Expected<SpeedInputs> parseSpeedInputs(std::string_view countText, std::string_view maxText) {
    const std::string countRange =
        "，請輸入 0 到 " + std::to_string(kMaxNetworkConcepts) + " 之間的數";
    SpeedInputs in;
    in.count = leadingNumber(countText);
    if (in.count < 0) return errorText("概念數不可為負數" + countRange);
    const double concepts = roundHalfEven(in.count);
    if (!(concepts <= kMaxNetworkConcepts)) return errorText("概念數超出範圍" + countRange);
    in.conceptCount = static_cast<int>(concepts);

    const double maxValue = roundHalfEven(leadingNumber(maxText));
    // round(u x max) + 1 over u in [0, 1) reaches max + 1 (max > 0) or max (max < 0).
    if (!(maxValue >= kInt16Min && maxValue + 1 <= kInt16Max))
        return errorText("隨機最大值超出範圍，請輸入 " + numberText(kInt16Min) + " 到 " +
                         numberText(kInt16Max - 1) + " 之間的數");
    in.maxValue = static_cast<std::int32_t>(maxValue);
    return in;
}

UniformSource systemUniformSource() {
    std::random_device device;
    std::mt19937_64 engine((std::uint64_t{device()} << 32) ^ device());
    // The top 53 bits as a fraction: exactly uniform on [0, 1), never 1.
    return [engine]() mutable { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
}

DistanceMatrix RandomSymmetricMatrix(const SpeedInputs& inputs, const UniformSource& uniform,
                                     const CancelFlag* cancel) {
    const int size = inputs.conceptCount;
    DistanceMatrix r(size, size);
    // The bounds follow the entered count, which may have a fraction.
    for (int i = 0; i <= inputs.count - 2; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) break;
        for (int j = 0; j <= inputs.count - 1; ++j) {
            const double value = roundHalfEven(uniform() * inputs.maxValue) + 1;
            r(i, j) = Currency::fromInt(static_cast<std::int64_t>(value));
            r(j, i) = r(i, j);
            if (i == j) r(i, j) = Currency{};
        }
    }
    return r;
}

std::string secondsText(std::int64_t elapsedMs) {
    return numberText(static_cast<double>(elapsedMs) / 1000.0);
}

std::string sampleTimeLine(std::int64_t elapsedMs, std::string_view lineBreak) {
    return "所需花費時間" + secondsText(elapsedMs) + "秒" + std::string(lineBreak);
}

std::string randomTimeLine(double count, std::int64_t elapsedMs, std::string_view lineBreak) {
    const std::string n = numberText(count);
    return n + "x" + n + "所需花費時間" + secondsText(elapsedMs) + "秒" + std::string(lineBreak);
}

TimedNetwork timeNetwork(SpeedAlgorithm algorithm, const DistanceMatrix& d, int n,
                         Currency unlinkedDistance, const CancelFlag& cancel) {
    using Clock = std::chrono::steady_clock;
    TimedNetwork timed;
    const auto t0 = Clock::now();
    timed.links = runAlgorithm(algorithm, d, n, unlinkedDistance, cancel);
    const auto t1 = Clock::now();
    timed.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(t1 - t0).count();
    return timed;
}

PhaseResult runSamplePhase(SpeedAlgorithm algorithm, const DistanceMatrix& sample,
                           std::string_view lineBreak, const CancelFlag& cancel) {
    if (auto size = checkSize(algorithm, sample, kSampleConcepts); !size)
        return failed(size.error().message());
    const TimedNetwork timed =
        timeNetwork(algorithm, sample, kSampleConcepts, kSampleUnlinkedDistance, cancel);
    if (!timed.links || cancel.load()) return {PhaseResult::Status::Cancelled, {}};
    return {PhaseResult::Status::Done, linkRowsText(*timed.links, kSampleConcepts, lineBreak) +
                                           sampleTimeLine(timed.elapsedMs, lineBreak)};
}

PhaseResult runRandomPhase(SpeedAlgorithm algorithm, const SpeedInputs& inputs,
                           const UniformSource& uniform, std::string_view lineBreak,
                           const CancelFlag& cancel) {
    try {
        const DistanceMatrix r = RandomSymmetricMatrix(inputs, uniform, &cancel);
        if (cancel.load()) return {PhaseResult::Status::Cancelled, {}};
        const int n = inputs.conceptCount;
        if (auto size = checkSize(algorithm, r, n); !size) return failed(size.error().message());
        const Currency unlinked = Currency::fromInt(std::int64_t{inputs.maxValue} + 2);
        const TimedNetwork timed = timeNetwork(algorithm, r, n, unlinked, cancel);
        if (!timed.links || cancel.load()) return {PhaseResult::Status::Cancelled, {}};
        return {PhaseResult::Status::Done,
                randomTimeLine(inputs.count, timed.elapsedMs, lineBreak)};
    } catch (const std::bad_alloc&) {
        return failed("記憶體不足，無法建立 " + std::to_string(inputs.conceptCount) + "x" +
                      std::to_string(inputs.conceptCount) + " 的距離矩陣");
    }
}

}  // namespace qv
