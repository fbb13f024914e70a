// Where the first worksheet of an xlsx package lies: found through
// xl/workbook.xml and its relationships, never assumed to be sheet1.xml.
#pragma once

#include <string>

#include "office/zip_archive.h"

namespace zorbix::office {

// The part name of the first sheet ("xl/worksheets/sheet1.xml"); throws
// base::Failure naming the file when the workbook has no sheet.
std::string FirstSheetPart(const ZipArchive& package);

}  // namespace zorbix::office
