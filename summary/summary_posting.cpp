#include "summary/summary_posting.h"

#include <array>

#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "summary/code_columns.h"
#include "summary/summary_figures.h"

namespace zorbix::summary {
namespace {

struct PersonFields {
    int sex, degree, title, year;
};

PersonFields Person(char n) {
    const std::string d(1, n);
    return {store::ColumnIndex("JB42" + d), store::ColumnIndex("JB45" + d),
            store::ColumnIndex("JB46" + d), store::ColumnIndex("JB43" + d)};
}

// The code columns, read once (the catalogue is not to be asked during
// static initialisation).
struct Codes {
    int plan = store::ColumnIndex("JB61");
    int progress = store::ColumnIndex("JB71");
    int reason = store::ColumnIndex("JB72_01");
    std::array<PersonFields, 3> people = {Person('1'), Person('2'), Person('3')};
};

const Codes& CodeColumns() {
    static const Codes codes;
    return codes;
}

void PostAmounts(const SummaryDefinition& s, const store::Record& record, const StandardRows& rows,
                 SummaryGrid& grid) {
    // Summaries() refuses a table with more fields than this holds.
    std::array<double, kMaxSummaryFields> amounts{};
    for (std::size_t i = 0; i < s.fields.size(); ++i)
        amounts[i] = Amount(record[s.fields[i].field]);
    // Field by field rather than row by row: each cell still gets its
    // figures in record order, the grid checks a figure once for all rows.
    for (std::size_t i = 0; i < s.fields.size(); ++i)
        grid.AddToRows(rows.Span(), s.fields[i].column, amounts[i]);
}

void PostCount(int column, const StandardRows& rows, SummaryGrid& grid) {
    grid.AddToRows(rows.Span(), column, 1);
}

// Person columns in the order sex, degree, title, year of birth.
void PostPerson(const PersonFields& p, const store::Record& record, const StandardRows& rows,
                SummaryGrid& grid) {
    PostCount(SexColumn(RoundedCode(record[p.sex])), rows, grid);
    PostCount(DegreeColumn(RoundedCode(record[p.degree])), rows, grid);
    PostCount(TitleColumn(RoundedCode(record[p.title])), rows, grid);
    PostCount(BirthYearColumn(RoundedCode(record[p.year])), rows, grid);
}

}  // namespace

bool SumsDependOnOrder(const SummaryDefinition& summary) {
    return summary.posting == Posting::PlanFunds;
}

OrderedFigures OrderedFiguresOf(const SummaryDefinition& summary, const store::Record& record) {
    // The funds are added with their fraction.
    return {.pair = PlanColumns(RoundedCode(record[CodeColumns().plan])),
            .funds = base::NumericValue(record[summary.fields.front().field])};
}

void PostOrderedFigures(const OrderedFigures& figures, const StandardRows& rows,
                        SummaryGrid& grid) {
    grid.AddToRows(rows.Span(), figures.pair.count, 1);
    grid.AddToRows(rows.Span(), figures.pair.amount, figures.funds);
}

void PostRecord(const SummaryDefinition& summary, const store::Record& record,
                const StandardRows& rows, SummaryGrid& grid) {
    const Codes& codes = CodeColumns();
    switch (summary.posting) {
        case Posting::Amounts: PostAmounts(summary, record, rows, grid); break;
        case Posting::Progress: {
            const std::int64_t column = ProgressColumn(RoundedCode(record[codes.progress]));
            if (column >= 0 && column < grid.Columns())
                PostCount(static_cast<int>(column), rows, grid);
            break;
        }
        case Posting::Reason: PostCount(ReasonColumn(record[codes.reason]), rows, grid); break;
        case Posting::Leader: PostPerson(codes.people[0], record, rows, grid); break;
        case Posting::Participants:
            PostPerson(codes.people[1], record, rows, grid);
            PostPerson(codes.people[2], record, rows, grid);
            break;
        case Posting::PlanFunds:
            PostOrderedFigures(OrderedFiguresOf(summary, record), rows, grid);
            break;
    }
}

double PostedAmount(const SummaryDefinition& summary, const store::Record& record, int column) {
    double amount = 0;
    if (summary.posting != Posting::Amounts) return amount;
    for (const FieldColumn& f : summary.fields)
        if (f.column == column) amount += Amount(record[f.field]);
    return amount;
}

std::vector<int> PostedColumns() {
    const Codes& codes = CodeColumns();
    std::vector<int> columns = StandardRowColumns();
    columns.insert(columns.end(), {codes.plan, codes.progress, codes.reason});
    for (const PersonFields& p : codes.people)
        columns.insert(columns.end(), {p.sex, p.degree, p.title, p.year});
    for (const SummaryDefinition& s : Summaries())
        for (const FieldColumn& f : s.fields) columns.push_back(f.field);
    return columns;
}

}  // namespace zorbix::summary
