# Writes OUTPUT, a C++ source holding the bytes of STUDENT, CONCEPTS and ITEMS
# and the file name NAME.
function(qv_embed_bytes out_var path)
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(${out_var} "${bytes}" PARENT_SCOPE)
endfunction()

qv_embed_bytes(student "${STUDENT}")
qv_embed_bytes(concepts "${CONCEPTS}")
qv_embed_bytes(items "${ITEMS}")

file(WRITE "${OUTPUT}.tmp" "// Generated from the files in samples/; do not edit.
#include \"samples/sample_class.h\"

namespace qv::samples {
namespace {

constexpr unsigned char kStudent[] = {
    ${student}};
constexpr unsigned char kConcepts[] = {
    ${concepts}};
constexpr unsigned char kItems[] = {
    ${items}};
constexpr std::string_view kFileName = \"${NAME}.txt\";

std::string_view bytes(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace

std::string_view studentFile() { return bytes(kStudent, sizeof kStudent); }
std::string_view conceptFile() { return bytes(kConcepts, sizeof kConcepts); }
std::string_view itemConceptFile() { return bytes(kItems, sizeof kItems); }

std::string_view studentFileName() { return kFileName; }
std::string_view conceptFileName() { return kFileName; }
std::string_view itemConceptFileName() { return kFileName; }

}  // namespace qv::samples
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
