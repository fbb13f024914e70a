// The findings of the rule sets: the text that collects one line per failed
// rule and the flag that any finding sets. The rule sets only append; the
// check runs empty the text and reset the flag before each run.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::check {

// Every finding line ends with CR LF, the line end of the result panel.
inline constexpr std::string_view kLineEnd = "\r\n";

struct CheckResult {
    std::string text;     // the finding lines, in rule order
    bool failed = false;  // set by every finding, never by the rule sets reset

    // Records one finding: "项目" + project number + message + CR LF.
    void Add(std::string_view project_number, std::string_view message);
    // Empties the text and resets the flag, as each run does before it starts.
    void Reset();
};

}  // namespace zorbix::check
