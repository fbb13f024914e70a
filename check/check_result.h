// The findings of the rule sets, as data: one Finding per failed rule, in
// rule order, and the flag that any finding sets. The rule sets only append;
// the check runs reset the result before each run. The panel's text and the
// saved check file are made from the findings in one place (FindingsText);
// the findings workbook and the finding navigation read the same list.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/catalogue.h"

namespace zorbix::check {

// Every finding line ends with CR LF, the line end of the result panel.
inline constexpr std::string_view kLineEnd = "\r\n";

struct Finding {
    std::string project;                   // the project number as the record holds it
    store::Page page = store::Page::None;  // the page of `column`; None without one
    int column = -1;   // the field the finding leads to; -1 when its rule names none
    std::string text;  // the rule's message
};

// The panel line of a finding: "项目" + project number + message, no line end.
std::string PanelLine(const Finding& finding);

// Appends the panel lines of the findings, each ended by CR LF.
void AppendFindingsText(std::string& out, std::span<const Finding> findings);
std::string FindingsText(std::span<const Finding> findings);

struct CheckResult {
    std::vector<Finding> findings;  // in rule order
    std::string text;               // the findings' panel lines, appended by AppendFindingsText
    bool failed = false;            // set by every finding, never by the rule sets reset

    // Records one finding of `project_number`; the field it leads to is
    // filled in by the rule set that ran (check/rule_sets.h).
    void Add(std::string_view project_number, std::string_view message);
    // Empties the findings and the text and resets the flag, as each run
    // does before it starts.
    void Reset();
};

}  // namespace zorbix::check
