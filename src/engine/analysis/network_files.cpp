#include "analysis/network_files.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "core/ordered_blocks.h"
#include "data/file_stems.h"
#include "data/loaders.h"
#include "data/safe_file.h"
#include "report/class_charts.h"

namespace qv {

namespace fs = std::filesystem;

Expected<std::size_t> writeNetworkFolder(const fs::path& folder, const RunResults& results,
                                         const RunMethod& method, GraphFormat format,
                                         const std::function<void(int)>& progress) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder))
        return Error{pathText(folder), 0,
                     "無法建立資料夾" + (ec ? "：" + systemReason(ec.value()) : std::string())};
    const ClassData& data = *results.data;
    const int n = data.conceptCount;
    std::vector<std::string> labels;
    for (int k = 0; k < n; ++k)
        labels.push_back(conceptLabel(k, data.conceptNames));
    std::vector<std::string> ids;
    ids.reserve(results.students.size());
    for (const StudentRecord& r : results.students)
        ids.push_back(r.id);
    const std::string ext = "." + std::string(graphFileExtension(format));
    const std::vector<std::string> stems = studentFileStems(ids, {"standard"});

    SafeFileSet set;
    const LinkRows standard = linkRows(results.stdLinks, n);
    auto bytes = graphFileBytes(format, {labels, standard, results.stdDistance});
    if (!bytes) return bytes.error();
    if (auto added = set.add(folder / ("standard" + ext), *bytes); !added) return added.error();
    const StudentNetworkBuilder builder(data, method);
    const std::size_t count = results.students.size();
    // The files are drawn and written to their temporaries on every core, a
    // block of students at a time, and join the set in student order, so
    // the folder is the same for any number of workers.
    constexpr std::size_t kBlock = 256;
    const int threads = workerCount(0);
    const std::size_t window = 2 * static_cast<std::size_t>(threads);
    std::vector<std::vector<Expected<SafeFile>>> slots(window);
    std::optional<Error> failed;
    // Once a file has failed, no more temporaries are made only to go.
    std::atomic<bool> stopped{false};
    forEachBlockInOrder(
        (count + kBlock - 1) / kBlock, threads, window,
        [&](std::size_t block, int) {
            thread_local DistanceMatrix distance;
            auto& slot = slots[block % window];
            slot.clear();
            for (std::size_t k = block * kBlock;
                 k < std::min(count, (block + 1) * kBlock) && !stopped; ++k) {
                const StudentRecord& r = results.students[k];
                const DistanceMatrix* d = &r.distance;
                // A run that kept no matrices: the distances derived again.
                if (d->rows() != n) {
                    builder.distanceInto(r, distance);
                    d = &distance;
                }
                const fs::path file =
                    folder / fs::path(std::u8string(stems[k].begin(), stems[k].end()) +
                                      std::u8string(ext.begin(), ext.end()));
                const LinkRows* against = r.referentLinks.n > 0 ? &r.referentLinks : &standard;
                auto fileBytes = graphFileBytes(format, {labels, r.links, *d, against});
                slot.push_back(fileBytes ? set.prepare(file, *fileBytes)
                                         : Expected<SafeFile>(fileBytes.error()));
            }
        },
        [&](std::size_t block) {
            auto& slot = slots[block % window];
            for (std::size_t s = 0; s < slot.size() && !failed; ++s) {
                if (slot[s]) {
                    set.keep(std::move(slot[s]).value());
                } else {
                    failed = slot[s].error();
                    stopped = true;
                }
            }
            slot.clear();
            if (progress)
                progress(static_cast<int>(95 * std::min(count, (block + 1) * kBlock) / count));
        });
    if (failed) return *failed;
    if (auto committed = set.commit(); !committed) return committed.error();
    if (progress) progress(100);
    return count + 1;
}

}  // namespace qv
