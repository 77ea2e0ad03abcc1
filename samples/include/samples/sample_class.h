#pragma once

#include <string_view>

// The built-in sample class: a 40-item mathematics quiz over 20 concepts taken
// by 35 students, compiled into the programs byte for byte as shipped in
// samples/ (code page 950, written as the editors write their files).
namespace qv::samples {

std::string_view studentFile();
std::string_view conceptFile();
std::string_view itemConceptFile();

// The file names (UTF-8); the same name in each of the three data folders.
std::string_view studentFileName();
std::string_view conceptFileName();
std::string_view itemConceptFileName();

}  // namespace qv::samples
