#pragma once

#include <filesystem>
#include <vector>

#include "analysis/group_compare.h"
#include "core/expected.h"
#include "layout/force_layout.h"
#include "report/canvas.h"

namespace qv::render {

// The pages of a comparison (report/compare_drawing.h), recorded with the
// drawing font's widths so that long labels are cut where they would overrun.
std::vector<RecordingCanvas> comparePages(const CompareResults& results,
                                          const std::vector<PlanePoint>& positions);

// Where page `page` (1-based) of a PNG or SVG output goes: the file itself
// for the first, "name-2.png" and so on beside it for the others.
std::filesystem::path comparePageFile(const std::filesystem::path& file, int page);

// A PDF holds every page; a PNG or an SVG output is one file per page
// (comparePageFile), written all or none. The files written, in page order;
// a path whose extension is none of the three is refused.
Expected<std::vector<std::filesystem::path>> writeComparePictures(
    const CompareResults& results, const std::vector<PlanePoint>& positions,
    const std::filesystem::path& file);

}  // namespace qv::render
