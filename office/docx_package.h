// The parts of a Word document package (.docx) that readers and fillers
// look up.
#pragma once

#include <string>

#include "office/zip_archive.h"

namespace zorbix::office {

// The name of the main document part ("word/document.xml"), found through
// the package relationships. Throws base::Failure naming the file when the
// package is not a Word document.
std::string MainDocumentPart(const ZipArchive& package);

}  // namespace zorbix::office
