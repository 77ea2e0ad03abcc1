#pragma once

#include <string>
#include <vector>

namespace qv {

// File names (without extension) for one file per student in a folder, in
// the students' order: characters no file system takes become "_", a
// leading "." (hidden files) gets a "_" before it, a long ID is cut at a
// character boundary, an empty ID becomes "student<k>", and a repeated name
// gets "_2", "_3", ... behind it. `reserved` names (such as "standard") are
// taken as used before the first student.
std::vector<std::string> studentFileStems(const std::vector<std::string>& ids,
                                          const std::vector<std::string>& reserved = {});

}  // namespace qv
