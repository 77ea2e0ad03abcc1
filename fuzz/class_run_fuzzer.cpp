// A whole class from fuzzed bytes: the input holds the concept-note, the
// item-concept and the student file, separated by form feeds. Whatever loads
// must run under every method with results that agree with themselves.
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/run.h"
#include "data/loaders.h"
#include "fuzz_check.h"

namespace {

void checkRun(const qv::ClassPtr& loaded, qv::RunMethod method) {
    qv::RunOptions options;
    options.method = method;
    int last = -1;
    options.progress = [&last](int value) {
        QV_FUZZ_CHECK(value >= last && value <= qv::kProgressMax);
        last = value;
    };
    const auto run = qv::runAnalysis(loaded, options);
    QV_FUZZ_CHECK(run.ok());
    QV_FUZZ_CHECK(last == qv::kProgressMax);
    const std::string& text = run->text;
    std::size_t rows = 0;
    for (std::size_t at = text.find(qv::kLineBreak); at != std::string::npos;
         at = text.find(qv::kLineBreak, at + 1))
        ++rows;
    QV_FUZZ_CHECK(rows == loaded->students.size() + 1);
    for (const qv::StudentRecord& r : run->students) {
        const auto& c = r.linkCounts;
        QV_FUZZ_CHECK(c[qv::kMatch] + c[qv::kMiss] == c[qv::kStdLinks]);
        QV_FUZZ_CHECK(c[qv::kMatch] + c[qv::kOver] == c[qv::kTargetLinks]);
        for (const auto& v : {r.pfcValue, r.gtdValue, r.prxValue})
            QV_FUZZ_CHECK(!v || (*v >= -1 && *v <= 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t first = bytes.find('\f');
    const std::size_t second =
        first == std::string_view::npos ? first : bytes.find('\f', first + 1);
    if (second == std::string_view::npos) return 0;
    qv::ClassPtr state;
    const qv::ClassText text{bytes.substr(0, first), bytes.substr(first + 1, second - first - 1),
                             bytes.substr(second + 1)};
    if (!qv::loadClass(state, text) || !qv::checkRunnable(*state)) return 0;
    checkRun(state, qv::RunMethod::Triangle);
    checkRun(state, qv::RunMethod::PathSearch);
    checkRun(state, qv::RunMethod::pfnet({}));
    checkRun(state, qv::RunMethod::pfnet({qv::PfnetR::One, 0}));
    return 0;
}
