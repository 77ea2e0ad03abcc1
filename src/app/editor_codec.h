#pragma once

#include <string>
#include <string_view>

namespace qv::app {

// The bytes a Save writes for a UTF-8 text.
std::string encodeEditorFile(const std::string& utf8Text);

// The UTF-8 text of an opened file's bytes.
std::string decodeEditorFile(std::string_view bytes);

}  // namespace qv::app
