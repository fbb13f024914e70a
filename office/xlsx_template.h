// An xlsx template read once and kept ready for filling: the open package
// with its unchanged parts held as compressed bytes, the name of its first
// sheet with the sheet prepared (office/xlsx_sheet_plan.h), and its
// xl/workbook.xml already asking for a full calculation on load. A
// summary run fills each of its twelve templates, and a later run in the
// same program fills them again: each is read, inflated and parsed once.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "office/stored_package.h"
#include "office/xlsx_sheet_plan.h"
#include "office/zip_archive.h"

namespace zorbix::office {

struct XlsxTemplate {
    explicit XlsxTemplate(const std::filesystem::path& file);

    ZipArchive package;
    std::string sheet_part;
    std::unique_ptr<SheetPlan> sheet;
    std::string workbook;  // xl/workbook.xml to write
    // The other entries as stored, xl/workbook.xml already deflated: null
    // when the package cannot be carried that way (office/stored_package.h).
    std::unique_ptr<StoredPackage> stored;
};

// The template prepared from the file, from the calling thread's cache when
// the file is still the one prepared (not replaced, rewritten or removed).
// Throws base::Failure naming the file and the reason when it cannot be
// read (missing, not a zip, no first sheet, broken or oversized XML).
std::shared_ptr<const XlsxTemplate> PreparedXlsxTemplate(const std::filesystem::path& file);

}  // namespace zorbix::office
