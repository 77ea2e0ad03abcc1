#pragma once

// The workbook readers' shared pieces: a zip package read from memory and a
// streaming XML reader over its parts.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "data/sheet.h"

struct zip;

namespace qv::detail {

// Receives the events of one XML part. Names come without their namespace
// prefix ("x:row" -> "row"); `attrs` alternates names (prefix kept) and values.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, const char** attrs) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view) {}
    // A refusal found while reading; stops the reading.
    std::optional<Error> failure;
};

// The value of the attribute whose name without prefix is `name`; "" when absent.
std::string_view attribute(const char** attrs, std::string_view name);

class ZipPackage {
  public:
    static Expected<ZipPackage> open(std::string_view bytes, std::string_view fileName);
    ZipPackage(ZipPackage&&) noexcept;
    ZipPackage& operator=(ZipPackage&&) noexcept;
    ~ZipPackage();

    bool has(const std::string& part) const;
    // Streams the part through the handler; the error names the file.
    Expected<void> parse(const std::string& part, XmlHandler& handler) const;
    const std::string& fileName() const { return fileName_; }

  private:
    ZipPackage(zip* archive, std::string fileName);
    zip* archive_ = nullptr;
    std::string fileName_;
};

// True for the bytes of an OpenDocument spreadsheet (its first part says so).
bool isOdsPackage(std::string_view bytes);

Expected<std::vector<std::string>> xlsxSheetNames(std::string_view bytes,
                                                  std::string_view fileName);
Expected<Sheet> readXlsx(std::string_view bytes, std::string_view fileName,
                         std::string_view sheetName);
Expected<std::vector<std::string>> odsSheetNames(std::string_view bytes, std::string_view fileName);
Expected<Sheet> readOds(std::string_view bytes, std::string_view fileName,
                        std::string_view sheetName);

// The refusal for a sheet name the workbook does not have.
Error noSuchSheet(std::string_view fileName, std::string_view sheetName,
                  const std::vector<std::string>& names);

// A number cell as the spreadsheet shows it by default.
std::string numberCellText(std::string_view value);

}  // namespace qv::detail
