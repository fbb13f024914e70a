// Column headings of the summary templates. Columns that stand for codes
// are named by the pickers' item texts and placed by the same rules the
// summaries count with.
#include <algorithm>
#include <optional>

#include "base/message_text.h"
#include "store/code_lists.h"
#include "summary/code_columns.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_figures.h"

namespace zorbix::summary {
namespace {

using store::Picker;
using Headings = std::vector<ColumnHeading>;

// Each heading names what is counted and in which unit; the item of the
// code stands between what the attribute is and the unit.
template <typename Rule>
void AddItems(Headings& headings, Picker picker, const std::string& before,
              const std::string& after, Rule rule) {
    for (const std::string& item : store::PickerItems(picker))
        headings.push_back({static_cast<int>(rule(item)), before + item + after});
}

Headings PeopleHeadings() {
    Headings h;
    AddItems(h, Picker::Sex, "性别：", "(人)",
             [](const std::string& i) { return SexColumn(RoundedCode(i)); });
    AddItems(h, Picker::Title, "职称：", "(人)",
             [](const std::string& i) { return TitleColumn(RoundedCode(i)); });
    AddItems(h, Picker::Degree, "学位：", "(人)",
             [](const std::string& i) { return DegreeColumn(RoundedCode(i)); });
    int column = 13;
    for (const char* band : kBirthYearHeadings)
        h.push_back({column++, base::MessageText("出生于{1}(人)", {band})});
    return h;
}

// The progress codes of the list, and the written columns right of them
// that codes outside the list reach (code 6 counts in column 7).
Headings ProgressHeadings(const SummaryDefinition& summary) {
    Headings h;
    AddItems(h, Picker::JB71, "", " 项目数(个)",
             [](const std::string& i) { return ProgressColumn(RoundedCode(i)); });
    int last = 0;
    for (const ColumnHeading& heading : h) last = std::max(last, heading.column);
    for (int column = last + 1; column <= summary.last_column; ++column)
        h.push_back({column, base::MessageText("进展代码{1}（代码表外） 项目数(个)",
                                               {std::to_string(column - 1)})});
    return h;
}

Headings PlanHeadings(const SummaryDefinition& summary) {
    Headings h;
    const std::string amount(summary.fields.front().heading);
    for (int code : kPlanPairCodes) {
        const PlanPair pair = PlanColumns(code);
        h.push_back({pair.count, base::MessageText("{1} 项目数(个)", {PlanCategoryName(code)})});
        h.push_back({pair.amount, base::MessageText("{1} {2}", {PlanCategoryName(code), amount})});
    }
    return h;
}

}  // namespace

std::vector<ColumnHeading> ColumnHeadings(const SummaryDefinition& summary) {
    Headings h;
    switch (summary.posting) {
        case Posting::Amounts:
            for (const FieldColumn& f : summary.fields)
                h.push_back({f.column, std::string(f.heading)});
            break;
        case Posting::Progress: h = ProgressHeadings(summary); break;
        case Posting::Reason:
            AddItems(h, Picker::JB72, "", " 项目数(个)",
                     [](const std::string& i) { return ReasonColumn(i); });
            break;
        case Posting::Leader:
        case Posting::Participants: h = PeopleHeadings(); break;
        case Posting::PlanFunds: h = PlanHeadings(summary); break;
    }
    return h;
}

}  // namespace zorbix::summary
