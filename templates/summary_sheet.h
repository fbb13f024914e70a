// Writes one summary template: the first sheet with the standard row
// layout's labels in column A, the summary's column headings in row 1, and
// the totals a reader looks for as formulas (the program computes none).
#pragma once

#include <filesystem>

#include "summary/summary_catalogue.h"

namespace zorbix::templates {

// Writes the template atomically; throws base::Failure when it cannot.
void WriteSummaryTemplate(const summary::SummaryDefinition& summary,
                          const std::filesystem::path& file);

}  // namespace zorbix::templates
