// One record's figures posted into one summary's grid.
#pragma once

#include <vector>

#include "store/record.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_grid.h"

namespace zorbix::summary {

// Adds the record's figures for `summary` into every row it reaches.
void PostRecord(const SummaryDefinition& summary, const store::Record& record,
                const StandardRows& rows, SummaryGrid& grid);

// Every record column the twelve summaries read (their row layout, fields,
// persons and codes): a summary run reads only these.
std::vector<int> PostedColumns();

}  // namespace zorbix::summary
