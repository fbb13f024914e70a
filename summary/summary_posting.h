// One record's figures posted into one summary's grid.
#pragma once

#include <vector>

#include "store/record.h"
#include "summary/code_columns.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_grid.h"

namespace zorbix::summary {

// Adds the record's figures for `summary` into every row it reaches.
void PostRecord(const SummaryDefinition& summary, const store::Record& record,
                const StandardRows& rows, SummaryGrid& grid);

// Whether a summary's sums depend on the order its records come in: the
// plan funds summaries add the funds with their fraction, and a sum of
// fractions rounds differently in another order.
bool SumsDependOnOrder(const SummaryDefinition& summary);

// What one record posts into a summary whose sums depend on the order,
// taken apart from its posting: a run that reads the records out of order
// keeps this (a few bytes a record) and posts it in store order afterwards.
struct OrderedFigures {
    PlanPair pair{};
    double funds = 0;
};
OrderedFigures OrderedFiguresOf(const SummaryDefinition& summary, const store::Record& record);
void PostOrderedFigures(const OrderedFigures& figures, const StandardRows& rows, SummaryGrid& grid);

// What an amounts summary posts into `column` of each row a record
// reaches: the whole amounts of the fields that feed that column, added in
// field order (0 for a summary of another kind). Whole amounts add up
// exactly in any order, so a page that keeps this per project sums the
// same cells as the summary run.
double PostedAmount(const SummaryDefinition& summary, const store::Record& record, int column);

// Every record column the twelve summaries read (their row layout, fields,
// persons and codes): a summary run reads only these.
std::vector<int> PostedColumns();

}  // namespace zorbix::summary
