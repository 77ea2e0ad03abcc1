#pragma once

#include <filesystem>
#include <functional>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "core/state.h"
#include "data/graph_files.h"

namespace qv {

// The run's networks as a folder of network files: standard.<ext> and one
// <ID>.<ext> per student (file names as studentFileStems makes them), see
// GraphNetwork. The folder is made when missing; its files are replaced all
// together or, when one cannot be written, none of them. `progress` (0 to
// 100) is called between students. Returns the number of files written.
Expected<std::size_t> writeNetworkFolder(const std::filesystem::path& folder,
                                         const RunResults& results, const RunMethod& method,
                                         GraphFormat format,
                                         const std::function<void(int)>& progress = {});

}  // namespace qv
