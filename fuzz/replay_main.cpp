// Replays a fuzz target's seed corpus through its LLVMFuzzerTestOneInput,
// with every seed also cut short and with bytes changed, so that the test
// build compiles each target and runs its checks without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

void feed(const Bytes& input) {
    LLVMFuzzerTestOneInput(input.data(), input.size());
}

// Cuts at a few places and a few byte changes, the same on every run.
void feedVariants(const Bytes& seed) {
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, seed.size() / 2, seed.size() - 1})
        if (cut < seed.size()) feed(Bytes(seed.begin(), seed.begin() + static_cast<long>(cut)));
    std::uint32_t state = 2463534242u;
    for (int round = 0; round < 24 && !seed.empty(); ++round) {
        Bytes changed = seed;
        for (int k = 0; k < 1 + round % 3; ++k) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            const std::size_t at = state % changed.size();
            // Keep the first byte, which some targets read as a mode.
            if (at == 0) continue;
            constexpr std::uint8_t kBytes[] = {'\r', '\n', ' ', '0', '9', '.', '-', 0xA4, 0xE3, 0};
            changed[at] = kBytes[(state >> 8) % sizeof kBytes];
        }
        feed(changed);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "%s: no seeds\n", argv[1]);
        return 1;
    }
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        const Bytes seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        feed(seed);
        // A seed of a large matrix takes seconds here: it is fed once.
        if (path.filename().string().rfind("large", 0) != 0) feedVariants(seed);
    }
    std::printf("%zu seeds replayed\n", files.size());
    return 0;
}
