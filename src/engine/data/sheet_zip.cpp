#include "data/sheet_zip.h"

#include <expat.h>
#include <zip.h>

#include <array>
#include <charconv>

#include "core/limits.h"
#include "core/number_text.h"

namespace qv::detail {

namespace {

std::string_view localName(const char* name) {
    const std::string_view n(name);
    const std::size_t colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

struct ParserFree {
    void operator()(XML_Parser p) const { XML_ParserFree(p); }
};

struct ZipFileClose {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

void XMLCALL onStart(void* data, const char* name, const char** attrs) {
    auto* h = static_cast<XmlHandler*>(data);
    if (!h->failure) h->start(localName(name), attrs);
}

void XMLCALL onEnd(void* data, const char* name) {
    auto* h = static_cast<XmlHandler*>(data);
    if (!h->failure) h->end(localName(name));
}

void XMLCALL onText(void* data, const char* s, int len) {
    auto* h = static_cast<XmlHandler*>(data);
    if (!h->failure) h->text(std::string_view(s, static_cast<std::size_t>(len)));
}

}  // namespace

std::string_view attribute(const char** attrs, std::string_view name) {
    for (; attrs[0] != nullptr; attrs += 2) {
        if (localName(attrs[0]) == name) return attrs[1];
    }
    return {};
}

ZipPackage::ZipPackage(zip* archive, std::string fileName)
    : archive_(archive), fileName_(std::move(fileName)) {}

ZipPackage::ZipPackage(ZipPackage&& other) noexcept
    : archive_(std::exchange(other.archive_, nullptr)), fileName_(std::move(other.fileName_)) {}

ZipPackage& ZipPackage::operator=(ZipPackage&& other) noexcept {
    std::swap(archive_, other.archive_);
    std::swap(fileName_, other.fileName_);
    return *this;
}

ZipPackage::~ZipPackage() {
    if (archive_ != nullptr) zip_discard(archive_);
}

Expected<ZipPackage> ZipPackage::open(std::string_view bytes, std::string_view fileName) {
    const Error broken{std::string(fileName), 0,
                       "這個檔案看來是壓縮的活頁簿，卻無法解開：檔案可能不完整或已損壞"};
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (source == nullptr) return broken;
    zip_error_init(&error);
    zip* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (archive == nullptr) {
        zip_source_free(source);
        return broken;
    }
    return ZipPackage(archive, std::string(fileName));
}

bool ZipPackage::has(const std::string& part) const {
    return zip_name_locate(archive_, part.c_str(), 0) >= 0;
}

Expected<void> ZipPackage::parse(const std::string& part, XmlHandler& handler) const {
    const auto fail = [&](std::string what) {
        return Error{fileName_, 0, "活頁簿的「" + part + "」" + what};
    };
    std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen(archive_, part.c_str(), 0));
    if (!file) return fail("不存在或無法解開");
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate("UTF-8"));
    if (!parser) return fail("無法讀取（記憶體不足）");
    XML_SetUserData(parser.get(), &handler);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);
    std::array<char, 65536> buffer;
    std::int64_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) return fail("無法解開：檔案可能已損壞");
        // A small zip can unpack to more than any sheet needs.
        total += got;
        if (total > kMaxInputBytes) return fail("解開後超過讀取上限");
        const bool last = got == 0;
        if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) ==
            XML_STATUS_ERROR) {
            if (handler.failure) return *handler.failure;
            return fail("不是正確的 XML（第 " +
                        std::to_string(XML_GetCurrentLineNumber(parser.get())) + " 行：" +
                        XML_ErrorString(XML_GetErrorCode(parser.get())) + "）");
        }
        if (handler.failure) return *handler.failure;
        if (last) return {};
    }
}

bool isOdsPackage(std::string_view bytes) {
    // The package's first entry is its media type, stored uncompressed.
    constexpr std::string_view kName = "mimetype";
    constexpr std::string_view kType = "application/vnd.oasis.opendocument.spreadsheet";
    return bytes.size() >= 30 + kName.size() + kType.size() &&
           bytes.substr(30, kName.size()) == kName &&
           bytes.substr(30 + kName.size(), kType.size()) == kType;
}

Error noSuchSheet(std::string_view fileName, std::string_view sheetName,
                  const std::vector<std::string>& names) {
    std::string list;
    for (const auto& n : names)
        list += (list.empty() ? "「" : "、「") + n + "」";
    return Error{
        std::string(fileName), 0,
        "沒有名為「" + std::string(sheetName) + "」的工作表；這個活頁簿的工作表有 " + list};
}

std::string numberCellText(std::string_view value) {
    double number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec != std::errc() || end != value.data() + value.size()) return std::string(value);
    return numberText(number);
}

}  // namespace qv::detail
