#include "bootstrap_args.h"

#include "cli_text.h"

namespace qv::cli {

void addBootstrapOptions(CLI::App& cmd, BootstrapArgs& args) {
    cmd.add_option("--bootstrap", args.replicates,
                   "對題目重抽 B 次，求每位學生 PFC、GTD、PRX 的信賴區間與連結穩定度")
        ->check(numberBetween(1, 1'000'000));
    cmd.add_option("--seed", args.seed, "重抽的亂數種子（SplitMix64），預設 1");
    cmd.add_option("--confidence", args.confidence, "信賴水準，0 與 1 之間，預設 0.95");
}

std::optional<std::string> bootstrapArgsProblem(const BootstrapArgs& args) {
    if (!args.replicates && (args.seed || args.confidence))
        return "錯誤：--seed 與 --confidence 須與 --bootstrap 一起使用。";
    if (auto parsed = parseConfidence(args.confidence.value_or("0.95")); !parsed)
        return "錯誤：" + parsed.error().message();
    return std::nullopt;
}

Expected<BootstrapResults> runBootstrap(const RunResults& run, const BootstrapArgs& args,
                                        const RunMethod& method, int threads) {
    BootstrapOptions options;
    options.method = method;
    options.replicates = args.replicates.value_or(0);
    options.seed = args.seed.value_or(1);
    options.confidence = parseConfidence(args.confidence.value_or("0.95")).value();
    options.threads = threads;
    auto result = bootstrapIntervals(run, options);
    if (!result) return errorText("錯誤：" + result.error().message());
    return result;
}

}  // namespace qv::cli
