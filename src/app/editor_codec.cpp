#include "editor_codec.h"

namespace qv::app {

// Interim: UTF-8 with BOM both ways until the shared codecs are in.
std::string encodeEditorFile(const std::string& utf8Text) {
    return "\xEF\xBB\xBF" + utf8Text;
}

std::string decodeEditorFile(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return std::string(bytes);
}

}  // namespace qv::app
